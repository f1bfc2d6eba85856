// A picture of a running model with its progress window, written when VELTRIX_SHOTS
// names a folder.
#include "ModelFixture.h"

#include "model/ProgressBarWnd.h"
#include "platform/Resources.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

namespace {

// The main window with the progress window drawn where it stands, under a caption bar of its
// title (the offscreen platform draws no window frames).
QImage Compose(CWnd* pMain, CWnd* pProgress)
{
    QImage shot = pMain->GetWidget()->grab().toImage();
    const QImage bar = pProgress->GetWidget()->grab().toImage();
    QPainter p(&shot);
    const QRect caption(40, 60, bar.width() + 4, 20);
    p.fillRect(caption.adjusted(0, 0, 0, bar.height() + 4), QColor(240, 240, 240));
    p.fillRect(caption, QColor(0, 0, 128));
    p.setPen(Qt::white);
    p.drawText(caption.adjusted(4, 0, 0, 0), Qt::AlignVCenter,
               QString::fromLatin1(pProgress->GetWindowText().c_str()));
    p.drawImage(caption.left() + 2, caption.bottom() + 3, bar);
    p.setPen(Qt::black);
    p.drawRect(caption.adjusted(0, 0, 0, bar.height() + 4));
    return shot;
}

} // namespace

TEST_F(ModelTest, ScreenshotOfARunningModel)
{
    const QString dir = qEnvironmentVariable("VELTRIX_SHOTS");
    if (dir.isEmpty())
        GTEST_SKIP() << "set VELTRIX_SHOTS to a folder to get the picture";
    const UINT id = 960;
    vx::res::RegisterString(id, "\nNew 3 Var Sys\nS\nS (*.s)\n.s960\nS\nS");
    auto* t = new CMultiDocTemplate(id, VX_RUNTIME_CLASS(CSys3Var), VX_RUNTIME_CLASS(CMDIChildWnd),
                                    CRuntimeClass::FromName("CSys3Graph"));
    ModelTestApp().AddDocTemplate(t);
    auto* doc = dynamic_cast<CDynSys*>(t->OpenDocumentFile(nullptr));
    ASSERT_NE(doc, nullptr);
    CView* view = doc->GetViews().front();
    view->GetParentFrame()->ShowWindow(SW_SHOWMAXIMIZED);
    ModelMainFrame()->MDIActivate(view->GetParentFrame());
    doc->m_bPlotConcurrent = 1;
    doc->m_dRunTimeLimit = 100; // still running when the picture is taken
    doc->m_dGraphTMax = 50;
    bool saved = false;
    doc->OnControlsRun();
    ASSERT_TRUE(PumpUntil([&] { return doc->m_nTableCount >= 700 || !doc->m_bRunning; }));
    ASSERT_TRUE(doc->m_bRunning);
    CWnd* progress = CWnd::FromHandle(doc->ProgressWindow());
    ASSERT_NE(progress, nullptr);
    saved = Compose(ModelMainFrame(), progress).save(dir + "/model-running.png");
    EXPECT_TRUE(saved);
    doc->OnControlsStop();
    ASSERT_TRUE(PumpUntil([&] { return !doc->m_bRunning; }));
}
