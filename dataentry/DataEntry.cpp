#include "dataentry/DataEntry.h"

#include "model/DynSys.h"
#include "platform/WndWidget.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLineEdit>

VX_IMPLEMENT_CLASS(CDataEntry, CFrameWnd)

namespace {
constexpr DWORD kPopupStyle = 0x80000000 | WS_VISIBLE | WS_CAPTION;
constexpr int kUnknownFontHeight = 32;
} // namespace

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
    m_edit = CDataEdit(&doc, doc.Kind());
    CRect rcMain;
    if (pMain)
        pMain->GetClientRect(&rcMain);
    const int h = QApplication::instance() ? QFontMetrics(QApplication::font()).height() : 0;
    // A window that fails to create has destroyed itself and this object with it.
    if (!CreateEntry(doc.DataEntryCaption(), PlaceFor(doc.m_nDocNumber, rcMain.Width(), h), pMain))
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
    auto* edit = new QLineEdit(GetWidget());
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
