#include "views/dialogs/VADlg.h"

#include "model/core/SettingsTable.h"
#include "platform/Frame.h"
#include "platform/WinApp.h"
#include "views/rows/ViewAngleFlag.h"

#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>

#include <algorithm>
#include <functional>

namespace {
// Enter and Escape would end the dialog; only the close box does.
class SwallowEnterEscape : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(e)->key();
        return key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter;
    }
};

// A step of a bar by key, arrow or trough ends when the key or the button is let go, as a
// thumb drag ends at its release: then the held-back drawing is done.
class StepEnd : public QObject
{
public:
    StepEnd(QObject* parent, std::function<void()> end) : QObject(parent), m_end(std::move(end)) {}
    bool m_bStepping = false;
    bool eventFilter(QObject*, QEvent* e) override
    {
        const bool released =
            e->type() == QEvent::MouseButtonRelease ||
            (e->type() == QEvent::KeyRelease && !static_cast<QKeyEvent*>(e)->isAutoRepeat());
        if (released && m_bStepping) {
            m_bStepping = false;
            m_end();
        }
        return false;
    }

private:
    std::function<void()> m_end;
};
} // namespace

CView* ActiveMainView()
{
    auto* pMain = dynamic_cast<CMDIFrameWnd*>(AfxGetMainWnd());
    CMDIChildWnd* pChild = pMain ? pMain->MDIGetActive() : nullptr;
    return pChild ? pChild->GetActiveView() : nullptr;
}

IViewAngleTarget* ActiveAngleTarget()
{
    return dynamic_cast<IViewAngleTarget*>(ActiveMainView());
}

CVADlg* CVADlg::s_pOpen = nullptr;

CVADlg::CVADlg(IViewAngleTarget* pOwner, CWnd* pParent) : CDialog(426, pParent), m_pView(pOwner)
{
    Create(426, pParent);
    LoadAngles();
    g_bViewAngleDlgOpen = true;
    s_pOpen = this;
}

CVADlg::~CVADlg()
{
    if (s_pOpen == this)
        s_pOpen = nullptr;
}

BOOL CVADlg::OnInitDialog()
{
    QDialog* d = GetDialog();
    SetWindowText("View Angle");
    d->installEventFilter(new SwallowEnterEscape(d));
    m_sbPitch = new QScrollBar(Qt::Vertical);
    m_sbYaw = new QScrollBar(Qt::Vertical);
    for (QScrollBar* bar : {m_sbPitch, m_sbYaw}) {
        bar->setRange(-180, 180);
        bar->setSingleStep(1);
        bar->setPageStep(10);
        bar->setMinimumHeight(180);
        Connect(bar);
    }
    m_pitchText = new QLabel;
    m_yawText = new QLabel;
    m_hold = new QCheckBox("Hold Updates");
    QObject::connect(m_hold, &QCheckBox::toggled, d, [this] { UpdateData(TRUE); });

    auto* grid = new QGridLayout(d);
    grid->addWidget(new QLabel("Pitch"), 0, 0);
    grid->addWidget(m_pitchText, 0, 1);
    grid->addWidget(new QLabel("Yaw"), 0, 2);
    grid->addWidget(m_yawText, 0, 3);
    grid->addWidget(m_sbPitch, 1, 0, 1, 2, Qt::AlignHCenter);
    grid->addWidget(m_sbYaw, 1, 2, 1, 2, Qt::AlignHCenter);
    grid->addWidget(m_hold, 2, 0, 1, 4);
    return CDialog::OnInitDialog();
}

void CVADlg::Connect(QScrollBar* bar)
{
    auto* stepEnd = new StepEnd(bar, [this, bar] { OnVScroll(AngleScroll::EndScroll, 0, bar); });
    bar->installEventFilter(stepEnd);
    QObject::connect(bar, &QAbstractSlider::actionTriggered, GetDialog(), [=, this](int action) {
        AngleScroll code;
        switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
            code = AngleScroll::LineUp;
            break;
        case QAbstractSlider::SliderSingleStepAdd:
            code = AngleScroll::LineDown;
            break;
        case QAbstractSlider::SliderPageStepSub:
            code = AngleScroll::PageUp;
            break;
        case QAbstractSlider::SliderPageStepAdd:
            code = AngleScroll::PageDown;
            break;
        case QAbstractSlider::SliderToMinimum:
            code = AngleScroll::Top;
            break;
        case QAbstractSlider::SliderToMaximum:
            code = AngleScroll::Bottom;
            break;
        case QAbstractSlider::SliderMove:
            code = AngleScroll::Thumb;
            break;
        default:
            return;
        }
        stepEnd->m_bStepping = code != AngleScroll::Thumb;
        OnVScroll(code, bar->sliderPosition(), bar);
    });
    QObject::connect(bar, &QAbstractSlider::sliderReleased, GetDialog(),
                     [this, bar] { OnVScroll(AngleScroll::EndScroll, 0, bar); });
}

void CVADlg::DoDataExchange(CDataExchange* pDX)
{
    if (m_hold)
        DDX_Check(pDX, m_hold, m_bHoldUpdates);
}

void CVADlg::LoadAngles()
{
    IViewAngleTarget* pView = ActiveAngleTarget();
    if (!pView)
        pView = m_pView;
    // The bars hold -180 .. 180; negating an angle beyond that could overflow.
    m_nPitchDeg = std::clamp(pView->ViewPitch(), -kViewAngleLimit, kViewAngleLimit);
    m_nYawDeg = std::clamp(pView->ViewYaw(), -kViewAngleLimit, kViewAngleLimit);
    const QSignalBlocker b1(m_sbPitch), b2(m_sbYaw);
    m_sbPitch->setSliderPosition(-m_nPitchDeg);
    m_sbYaw->setSliderPosition(-m_nYawDeg);
    m_pitchText->setText(QString::number(m_nPitchDeg));
    m_yawText->setText(QString::number(m_nYawDeg));
}

void CVADlg::OnVScroll(AngleScroll code, int nPos, QScrollBar* pBar)
{
    const bool pitch = pBar == m_sbPitch;
    int& angle = pitch ? m_nPitchDeg : m_nYawDeg;
    IViewAngleTarget* pView = ActiveAngleTarget();
    const int viewAngle = pView ? (pitch ? pView->ViewPitch() : pView->ViewYaw()) : angle;
    const AngleStep step = ScrollAngle(angle, code, nPos, m_bHoldUpdates != 0, viewAngle);
    angle = step.angle;
    {
        const QSignalBlocker block(pBar);
        pBar->setSliderPosition(-angle);
    }
    (pitch ? m_pitchText : m_yawText)->setText(QString::number(angle));
    if (!pView || !step.apply)
        return; // a 2-D view turns nothing
    if (pitch)
        pView->SetPitch(angle, step.redraw);
    else
        pView->SetYaw(angle, step.redraw);
}

void CVADlg::OnClose()
{
    // The owner destroys the dialog, after this event has been handled.
    GetDialog()->hide();
    if (m_pView)
        m_pView->ViewAngleDialogClosed();
}
