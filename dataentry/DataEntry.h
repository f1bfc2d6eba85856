#pragma once
// The one-line data-entry window of a model document: a captioned tool window owned by the
// main frame, whose client area is the edit CDataEdit (control id 2001). The document makes it
// by its class name (model/DataEntryWindow.h), shows and hides it (View/Data Entry Shortcut),
// disables it during a run and destroys it. The interpreter of "name=value" comes with the
// edit's own class.
#include "model/DataEntryWindow.h"
#include "model/core/ModelSettings.h"
#include "platform/Frame.h"

class CDynSys;
class QLineEdit;

// The edit of the data-entry window; keeps its document and the document's kind.
class CDataEdit
{
public:
    static constexpr UINT kControlId = 2001;
    CDataEdit(CDynSys* pDoc, SystemKind kind) : m_pDoc(pDoc), m_nKind(kind) {}
    void Attach(QLineEdit* pEdit) { m_pEdit = pEdit; }
    QLineEdit* GetEdit() const { return m_pEdit; }

    CDynSys* m_pDoc;
    SystemKind m_nKind;

private:
    QLineEdit* m_pEdit = nullptr;
};

class CDataEntry : public CFrameWnd, public IDataEntryWindow
{
    VX_DECLARE_CLASS(CDataEntry)
public:
    CDataEntry() : CDataEntry(nullptr, SystemKind::Newtonian) {}
    CDataEntry(CDynSys* pDoc, SystemKind kind) : m_pDoc(pDoc), m_edit(pDoc, kind) {}

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

protected:
    QWidget* CreateWidget(const CREATESTRUCT& cs) override;
    BOOL OnCreateClient(CREATESTRUCT* pCs, CCreateContext* pContext) override;
    void OnSize(UINT nType, int cx, int cy) override;

private:
    CDataEdit m_edit;
};
