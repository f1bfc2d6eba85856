#pragma once
// The application, main frame and model templates shared by the model document tests, with a
// view that can act when it sees a row, and a recorder of message boxes.
#include "ModelPlainView.h"
#include "common/ModelApp.h"
#include "model/DynSys.h"
#include "platform/DocTemplate.h"
#include "platform/Frame.h"
#include "platform/WinApp.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// A plain model view that calls a test's hook for every row drawn during a run.
class CHookView : public CModelPlainView
{
    VX_DECLARE_CLASS(CHookView)
public:
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    std::vector<LPARAM> m_hints;
    static inline std::function<void(CHookView*, int)> s_onRow;
};

// A view that does not follow runs (as a view of another program part might not).
class CDeafView : public CView
{
    VX_DECLARE_CLASS(CDeafView)
public:
    void OnDraw(CDC*) override {}
};

class CModelTestMain : public CMDIFrameWnd
{
    VX_DECLARE_CLASS(CModelTestMain)
};

CWinApp& ModelTestApp();
CMDIFrameWnd* ModelMainFrame();
CDocTemplate* ModelTemplate(SystemKind kind);
// One-variable documents whose first view is a CDeafView.
CDocTemplate* DeafTemplate();

class ModelTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    CDynSys* NewDoc(SystemKind kind);
    static CHookView* FirstView(CDynSys* pDoc);
    // Starts a run and waits for its end.
    void RunToEnd(CDynSys* pDoc);
    static bool Running(CDynSys* pDoc) { return pDoc->m_bRunning != 0; }

    std::vector<std::string> m_messages;
    MessageBoxHook m_oldHook;
};

// Every slot's column of the kind's table, in ring order.
std::vector<double> Column(const CDynSys* pDoc, int slot);
