// Pictures of the plot dialogs: each must show its controls (a dialog laid out without them
// grabs as an even background). Written for looking at when VELTRIX_SHOTS names a
// folder.
#include "views/dialogs/PlotStyleDlg.h"
#include "views/graph/GraphDialogNames.h"

#include <QDialog>
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <gtest/gtest.h>

namespace {
QString ShotDir()
{
    return qEnvironmentVariable("VELTRIX_SHOTS");
}

void Save(QWidget& w, const char* name)
{
    w.adjustSize();
    w.show();
    const QPixmap shot = w.grab();
    const QImage img = shot.toImage();
    ASSERT_FALSE(img.isNull()) << name;
    // Text, frames and edits leave many pixels unlike the dialog's background.
    const QRgb background = w.palette().color(QPalette::Window).rgb();
    int marked = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            marked += img.pixel(x, y) != background;
    EXPECT_GT(marked, img.width() * img.height() / 50) << name;
    if (!ShotDir().isEmpty())
        shot.save(QDir(ShotDir()).filePath(QString(name) + ".png"));
    w.hide();
}
} // namespace

TEST(Screenshots, Dialogs)
{
    CPlotStyleDlg style;
    style.m_nWidth = 1;
    style.m_nLineType = 1;
    style.Create(0);
    Save(*style.GetDialog(), "plot_style");

    CDS2GraphLimDlg limits;
    limits.m_dTMax = 6.28319;
    limits.m_dVMax = limits.m_dVAbsMax = 10;
    limits.m_dVMin = limits.m_dVAbsMin = -10;
    limits.m_bHaveData = true;
    limits.Create(0);
    Save(*limits.GetDialog(), "graph_limits");

    CDS1GraphVarDlg vars1;
    vars1.Create(0);
    Save(*vars1.GetDialog(), "graph_vars_newtonian");
    CDS3GraphVarDlg vars3;
    vars3.Create(0);
    Save(*vars3.GetDialog(), "graph_vars_three");
}
