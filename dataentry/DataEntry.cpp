#include "dataentry/DataEntry.h"

#include "model/DynSys.h"
#include "platform/Dialog.h"
#include "platform/WinApp.h"
#include "platform/WndWidget.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>

VX_IMPLEMENT_CLASS(CDataEntry, CFrameWnd)

CDataEntry::ColorPicker CDataEntry::s_pickColor = PickColorWithDialog;

namespace {
constexpr DWORD kPopupStyle = 0x80000000 | WS_VISIBLE | WS_CAPTION;
constexpr int kUnknownFontHeight = 32;

// The line: Up pastes the clipboard at the caret, F1 asks for the window's help.
class EntryLine : public QLineEdit
{
public:
    EntryLine(QWidget* parent, std::function<void()> help)
        : QLineEdit(parent), m_help(std::move(help))
    {
    }

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        if (e->key() == Qt::Key_F1) {
            m_help();
            return;
        }
        if (e->key() == Qt::Key_Up)
            paste();
        QLineEdit::keyPressEvent(e);
    }

private:
    std::function<void()> m_help;
};

// The document as the interpreter sees it.
class CDocumentHost : public IDataEntryHost
{
public:
    CDocumentHost(CDynSys& doc, QWidget* pDialogParent) : m_doc(doc), m_pParent(pDialogParent) {}

    CModelCore& Model() override { return m_doc; }
    void RecompileEquations() override { m_doc.RecordEquations(); }
    void RestartRun() override { m_doc.AllocateTable(); }
    void UpdateViews(long hint) override { m_doc.UpdateAllViews(nullptr, hint); }
    void MarkModified() override { m_doc.SetModifiedFlag(TRUE); }
    bool ChooseColor(COLORREF& clr) override
    {
        const auto chosen = CDataEntry::s_pickColor(clr, m_pParent);
        if (chosen)
            clr = *chosen;
        return chosen.has_value();
    }
    void ShowMessage(const std::string& text) override { AfxMessageBox(text, MB_OK); }

private:
    CDynSys& m_doc;
    QWidget* m_pParent;
};
} // namespace

CDataEdit::~CDataEdit() = default;

void CDataEdit::Attach(QLineEdit* pEdit)
{
    m_pEdit = pEdit;
    if (!m_pDoc)
        return;
    m_host = std::make_unique<CDocumentHost>(*m_pDoc, pEdit);
    m_interpreter = std::make_unique<CDataEntryInterpreter>(*m_host, m_nKind);
    QObject::connect(pEdit, &QLineEdit::returnPressed, pEdit, [this] { OnMaxtext(); });
}

void CDataEdit::OnMaxtext()
{
    if (!m_interpreter || !m_pEdit)
        return;
    const EntryOutcome out = m_interpreter->Enter(m_pEdit->text().toStdString());
    switch (out.edit) {
    case EntryOutcome::Edit::Clear:
        m_pEdit->clear();
        return;
    case EntryOutcome::Edit::Replace:
        m_pEdit->setText(QString::fromStdString(out.text));
        break;
    case EntryOutcome::Edit::Keep:
        break;
    }
    m_pEdit->setFocus();
    m_pEdit->selectAll();
}

CDataEntry::CDataEntry(CDynSys* pDoc, SystemKind kind) : m_pDoc(pDoc), m_edit(pDoc, kind)
{
    MapMessage(WM_COMMANDHELP, &CDataEntry::OnCommandHelp);
    MapMessage(WM_HELPHITTEST, &CDataEntry::OnHelpHitTest);
}

CRect CDataEntry::PlaceFor(int n, int nClientWidth, int nFontHeight)
{
    const int h = nFontHeight > 0 ? nFontHeight : kUnknownFontHeight;
    // Each further document of a kind sits 5 pixels lower and 10 further left.
    return CRect(nClientWidth - 2 * (5 * n + 130), 5 * n + 40, nClientWidth - 2 * (5 * n + 25),
                 5 * n + 40 + h);
}

HWND CDataEntry::CreateFor(CDynSys& doc, CWnd* pMain)
{
    m_pDoc = &doc;
    m_edit.m_pDoc = &doc;
    m_edit.m_nKind = doc.Kind();
    CRect rcMain;
    if (pMain)
        pMain->GetClientRect(&rcMain);
    // One line of text as the edit draws it, with its frame, so no letter is cut at the foot.
    const int h = QApplication::instance() ? QLineEdit().minimumSizeHint().height() : 0;
    const std::string caption = doc.DataEntryCaption();
    CRect rc = PlaceFor(doc.m_nDocNumber, rcMain.Width(), h);
    // Wide enough that the title bar shows the whole caption beside its buttons.
    rc.left = std::min(rc.left, rc.right - CaptionWidth(caption));
    // A window that fails to create has destroyed itself and this object with it.
    if (!CreateEntry(caption, rc, pMain))
        return nullptr;
    return GetSafeHwnd();
}

BOOL CDataEntry::CreateEntry(const std::string& caption, const CRect& rcClient, CWnd* pParent)
{
    return Create(nullptr, caption.c_str(), kPopupStyle, rcClient, pParent, 0);
}

QWidget* CDataEntry::CreateWidget(const CREATESTRUCT& cs)
{
    // A tool window with a caption and no Close button; the document decides when it goes.
    const Qt::WindowFlags flags = Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    return new vx::WndWidget(cs.pParent ? cs.pParent->GetWidget() : nullptr, flags);
}

BOOL CDataEntry::OnCreateClient(CREATESTRUCT* pCs, CCreateContext* pContext)
{
    auto* edit = new EntryLine(GetWidget(), [this] { SendMessage(WM_COMMANDHELP); });
    edit->setObjectName(QString::number(CDataEdit::kControlId));
    edit->setGeometry(0, 0, std::max(pCs->rect.Width(), 1), std::max(pCs->rect.Height(), 1));
    edit->show();
    m_edit.Attach(edit);
    return CFrameWnd::OnCreateClient(pCs, pContext);
}

void CDataEntry::OnSize(UINT nType, int cx, int cy)
{
    CFrameWnd::OnSize(nType, cx, cy);
    if (QLineEdit* edit = m_edit.GetEdit())
        edit->setGeometry(0, 0, cx, cy);
}

void CDataEntry::OnClose()
{
    if (m_pDoc)
        m_pDoc->OnDataEntryClosed();
    else
        ShowWindow(SW_HIDE);
}

LRESULT CDataEntry::OnCommandHelp(WPARAM, LPARAM)
{
    if (CWinApp* app = AfxGetApp())
        app->WinHelp(kHelpContext, HELP_CONTEXT);
    return TRUE;
}

LRESULT CDataEntry::OnHelpHitTest(WPARAM, LPARAM)
{
    return kHelpContext;
}
