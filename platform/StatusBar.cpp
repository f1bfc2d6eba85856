#include "platform/StatusBar.h"

#include "platform/FrameActions.h"
#include "platform/Latin1.h"
#include "platform/MDIFrameWnd.h"

#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>

BOOL CStatusBar::Create(CMDIFrameWnd* pParent)
{
    auto* main = dynamic_cast<QMainWindow*>(pParent ? pParent->GetWidget() : nullptr);
    if (!main)
        return FALSE;
    m_pBar = main->statusBar();
    return TRUE;
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    if (!m_pBar)
        return FALSE;
    for (QLabel* l : m_panes)
        delete l;
    m_panes.clear();
    for (int i = 1; i < nIDCount; ++i) {
        const std::string text = vx::res::LoadString(lpIDArray[i]);
        auto* label = new QLabel(Latin1(text), m_pBar);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(Latin1(text)) + 12);
        label->setAlignment(Qt::AlignCenter);
        // Qt cannot read the lock keys' state, so the indicators stay grey.
        label->setEnabled(false);
        m_pBar->addPermanentWidget(label);
        m_panes.push_back(label);
    }
    m_pBar->showMessage(Latin1(vx::res::LoadString(AFX_IDS_IDLEMESSAGE)));
    return TRUE;
}

void CStatusBar::SetPaneText(int nIndex, const std::string& text)
{
    if (!m_pBar)
        return;
    if (nIndex == 0)
        m_pBar->showMessage(Latin1(text));
    else if (nIndex - 1 < int(m_panes.size()))
        m_panes[size_t(nIndex - 1)]->setText(Latin1(text));
}

std::string CStatusBar::GetPaneText(int nIndex) const
{
    if (!m_pBar)
        return {};
    if (nIndex == 0)
        return m_pBar->currentMessage().toLatin1().toStdString();
    if (nIndex - 1 < int(m_panes.size()))
        return m_panes[size_t(nIndex - 1)]->text().toLatin1().toStdString();
    return {};
}
