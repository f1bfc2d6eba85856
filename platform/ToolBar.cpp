#include "platform/ToolBar.h"

#include "platform/FrameActions.h"
#include "platform/MDIFrameWnd.h"

#include <QMainWindow>
#include <QToolBar>

using namespace vx::frame;

CToolBar::CToolBar() = default;
CToolBar::~CToolBar() = default;

BOOL CToolBar::CreateEx(CMDIFrameWnd* pParent)
{
    auto* main = dynamic_cast<QMainWindow*>(pParent ? pParent->GetWidget() : nullptr);
    if (!main)
        return FALSE;
    m_pFrame = pParent;
    m_pBar = new QToolBar(main);
    m_pBar->setMovable(false);
    m_pBar->setFloatable(false);
    m_pBar->setObjectName("toolbar");
    main->addToolBar(Qt::TopToolBarArea, m_pBar);
    pParent->AddToolBar(this);
    return TRUE;
}

BOOL CToolBar::LoadToolBar(UINT nIDResource)
{
    const vx::res::ToolBar* def = vx::res::FindToolBar(nIDResource);
    if (!m_pBar || !def)
        return FALSE;
    if (m_nLoaded == nIDResource)
        return TRUE;
    m_pBar->setIconSize(QSize(def->cxButton, def->cyButton));
    m_sets.Show(m_pBar, nIDResource, [&] {
        std::vector<QAction*> set;
        for (UINT id : def->buttons)
            set.push_back(MakeButton(id, def->cxButton, def->cyButton));
        return set;
    });
    m_nLoaded = nIDResource;
    UpdateButtons();
    return TRUE;
}

QAction* CToolBar::MakeButton(UINT id, int cx, int cy)
{
    if (id == 0) {
        auto* separator = new QAction(m_pBar);
        separator->setSeparator(true);
        return separator;
    }
    const std::string tip = Field(vx::res::LoadString(id), 1);
    QAction* a = MakeAction(m_pFrame, m_pBar, id, tip);
    const QImage img = vx::res::LoadButtonImage(id, cx, cy);
    if (!img.isNull())
        a->setIcon(QIcon(QPixmap::fromImage(img)));
    a->setToolTip(Latin1(tip));
    return a;
}

void CToolBar::UpdateButtons()
{
    if (!m_pBar || !m_pFrame)
        return;
    for (QAction* a : m_pBar->actions())
        if (UINT id = ActionId(a)) {
            ActionCmdUI ui(id, a);
            m_pFrame->UpdateCommand(&ui);
        }
}
