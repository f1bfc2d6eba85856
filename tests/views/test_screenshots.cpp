// Pictures of the plot windows and dialogs for looking at: written only when
// VELTRIX_SCREENSHOT_DIR names a folder.
#include "views/base/PlotStyleDlg.h"
#include "views/graph/GraphDialogNames.h"

#include <QDir>
#include <QPixmap>
#include <QWidget>
#include <gtest/gtest.h>

namespace {
QString ShotDir()
{
    return qEnvironmentVariable("VELTRIX_SCREENSHOT_DIR");
}

void Save(QWidget& w, const char* name)
{
    w.adjustSize();
    w.show();
    const QPixmap shot = w.grab();
    EXPECT_FALSE(shot.isNull());
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
    style.OnInitDialog();
    Save(style, "plot_style");

    CDS2GraphLimDlg limits;
    limits.m_dTMax = 6.28319;
    limits.m_dVMax = limits.m_dVAbsMax = 10;
    limits.m_dVMin = limits.m_dVAbsMin = -10;
    limits.m_bHaveData = true;
    limits.OnInitDialog();
    Save(limits, "graph_limits");

    CDS1GraphVarDlg vars1;
    Save(vars1, "graph_vars_newtonian");
    CDS3GraphVarDlg vars3;
    Save(vars3, "graph_vars_three");
}
