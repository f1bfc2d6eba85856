#pragma once
// The one-line data-entry window of a model document: a captioned tool window owned by the
// main frame, whose client area is the edit CDataEdit (control id 2001). The document makes it
// by its class name (model/DataEntryWindow.h), shows and hides it (View/Data Entry Shortcut),
// disables it during a run and destroys it. Enter hands the line to the interpreter of the
// document's kind (dataentry/core), which works on the document through IDataEntryHost.
#include "dataentry/core/Interpreter.h"
#include "model/DataEntryWindow.h"
#include "model/core/ModelSettings.h"
#include "platform/Frame.h"

#include <functional>
#include <memory>
#include <optional>

class CDynSys;
class QLineEdit;
class QWidget;

// The edit of the data-entry window; keeps its document and the document's kind.
class CDataEdit
{
public:
    static constexpr UINT kControlId = 2001;
    CDataEdit(CDynSys* pDoc, SystemKind kind) : m_pDoc(pDoc), m_nKind(kind) {}
    ~CDataEdit();
    void Attach(QLineEdit* pEdit);
    QLineEdit* GetEdit() const { return m_pEdit; }
    // Enter: the line goes to the interpreter; the edit shows what it answers.
    void OnMaxtext();

    CDynSys* m_pDoc;
    SystemKind m_nKind;

private:
    QLineEdit* m_pEdit = nullptr;
    std::unique_ptr<IDataEntryHost> m_host;
    std::unique_ptr<CDataEntryInterpreter> m_interpreter;
};

class CDataEntry : public CFrameWnd, public IDataEntryWindow
{
    VX_DECLARE_CLASS(CDataEntry)
public:
    CDataEntry() : CDataEntry(nullptr, SystemKind::Newtonian) {}
    CDataEntry(CDynSys* pDoc, SystemKind kind);

    // The colour dialog of the colour keys; empty when cancelled. Tests replace it.
    using ColorPicker = std::function<std::optional<COLORREF>(COLORREF initial, QWidget* parent)>;
    static ColorPicker s_pickColor;

    // The document's window: its caption, placed by the document's number.
    HWND CreateFor(CDynSys& doc, CWnd* pMain) override;
    // Creates the visible window with its caption; rcClient is the client rectangle in screen
    // coordinates (the caption frame is added around it).
    BOOL CreateEntry(const std::string& caption, const CRect& rcClient, CWnd* pParent);

    // The client rectangle of document number n (1 ...) of a kind, for a main frame whose
    // client area is nClientWidth wide and a system font nFontHeight high (0: not known).
    static CRect PlaceFor(int n, int nClientWidth, int nFontHeight);

    CDataEdit& Edit() { return m_edit; }
    CDynSys* m_pDoc;

    // F1 and the help mode's click: the window's topic.
    static constexpr DWORD kHelpContext = 0x50000 + CDataEdit::kControlId;

protected:
    QWidget* CreateWidget(const CREATESTRUCT& cs) override;
    BOOL OnCreateClient(CREATESTRUCT* pCs, CCreateContext* pContext) override;
    void OnSize(UINT nType, int cx, int cy) override;
    // The frame's close hides the window; the document destroys it.
    void OnClose() override;

private:
    LRESULT OnCommandHelp(WPARAM, LPARAM);
    LRESULT OnHelpHitTest(WPARAM, LPARAM);

    CDataEdit m_edit;
};
