#pragma once
#include <stdexcept>
// Small document, view and frame classes shared by the layer's tests.
#include "platform/DocTemplate.h"
#include "platform/Document.h"
#include "platform/Frame.h"
#include "platform/Messages.h"
#include "platform/Resources.h"
#include "platform/View.h"
#include "platform/WinApp.h"

#include <functional>
#include <string>
#include <vector>

// Records who handled what, in order.
inline std::vector<std::string>& Trace()
{
    static std::vector<std::string> t;
    return t;
}

class CTestDoc : public CDocument
{
    VX_DECLARE_CLASS(CTestDoc)
public:
    CTestDoc();
    ~CTestDoc() override { ++s_destroyed; }
    void OnCmdDoc() { Trace().push_back("doc"); }
    void OnUpdateCheckedOff(CCmdUI* pCmdUI);
    BOOL OnOpenDocument(const char*) override
    {
        if (s_bOpenThrows)
            throw std::runtime_error("unreadable");
        return m_bOpenSucceeds;
    }
    static inline int s_destroyed = 0;
    static inline bool s_bOpenThrows = false;
    static inline bool m_bOpenSucceeds = true;
};

class CTestView : public CView
{
    VX_DECLARE_CLASS(CTestView)
public:
    CTestView();
    void OnDraw(CDC* pDC) override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    void OnCmdView() { Trace().push_back("view"); }
    std::vector<LPARAM> m_hints;
    int m_nDraws = 0;
    std::function<void()> m_onUpdate; // runs after the hint is recorded
};

class COtherView : public CTestView
{
    VX_DECLARE_CLASS(COtherView)
};

class CTestChild : public CMDIChildWnd
{
    VX_DECLARE_CLASS(CTestChild)
public:
    CTestChild();
    void OnCmdFrame() { Trace().push_back("child"); }
};

class CTestMain : public CMDIFrameWnd
{
    VX_DECLARE_CLASS(CTestMain)
public:
    CTestMain();
    void OnCmdMain() { Trace().push_back("main"); }
};

class CTestApp : public CWinApp
{
public:
    CTestApp();
    void OnCmdApp() { Trace().push_back("app"); }
};

// The application with a main frame and one template (id 900), made once per test program.
CTestApp& TestApp();
CTestMain* TestMainFrame();
CDocTemplate* TestTemplate();
// Closes every document of the test template.
void CloseAllTestDocuments();

// Command ids used by the routing tests.
constexpr UINT ID_T_ALL = 40001;  // mapped at every level
constexpr UINT ID_T_DOC = 40002;  // document, frame, application
constexpr UINT ID_T_MAIN = 40003; // main frame and application
constexpr UINT ID_T_APP = 40004;  // application only
constexpr UINT ID_T_NONE = 40005; // nobody
constexpr UINT ID_T_UPD = 40006;  // handler in the view, update handler in the document

// A window that answers WM_T_PING with wParam + lParam and records each call.
constexpr UINT WM_T_PING = WM_APP + 1;
class CPingWnd : public CWnd
{
public:
    CPingWnd()
    {
        MapMessage(WM_T_PING, &CPingWnd::OnPing);
        Create(nullptr, "ping", 0, CRect(0, 0, 50, 50), nullptr, 0);
    }
    LRESULT OnPing(WPARAM w, LPARAM l)
    {
        m_calls.push_back(static_cast<int>(w));
        m_bOnUiThread = m_bOnUiThread && IsUiThread();
        return static_cast<LRESULT>(w) + l;
    }
    std::vector<int> m_calls;
    bool m_bOnUiThread = true;
};
