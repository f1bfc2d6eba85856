// The pieces the plot bases give a view from its description alone: the plain limits dialog of
// its block with its prefix and axis names, and the margin texts that the model's plots share.
#include "PlotPixels.h"
#include "ViewHarness.h"
#include "common/MessageRecorder.h"
#include "model/CommandIds.h"
#include "views/base/2DView.h"
#include "views/base/MarginTexts.h"
#include "views/base/PlotLimDlg.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {
using S = CModelSettings;

// y against x in the Poincaré Section block of a two-variable model: no code of its own.
class CSectionTestView : public C2DView
{
public:
    CSectionTestView() : C2DView(Description()) {}
    static PlotDescription Description()
    {
        PlotDescription d;
        d.block = LimitBlock::PoincareSection;
        d.xColumn = kSlotX;
        d.yColumn = kSlotY;
        d.names = {"x", "y"};
        d.curves = {{kSlotY, nullptr, &S::m_nStylePO, &S::m_nWidthPO, &S::m_clrPO}};
        d.key = {kViewPoincareSection, SystemKind::TwoVariable};
        return d;
    }
};

// The section view with the shared margin texts, as an orbit view writes them.
class CTextsTestView : public CSectionTestView
{
protected:
    void DrawMargins(CDC* pDC) override
    {
        const CModelCore& s = GetModel()->Core();
        CFont* old = pDC->SelectObject(m_hFontUp.get());
        DrawInitialValues(pDC, *this, s.Kind(), s, m_nDigitsX, m_nDigitsY);
        DrawTimeBase(pDC, *this, s.m_nChrononsPerCycle, s.RunStep(), 4);
        pDC->SelectObject(old);
        DrawEquations(pDC, *this, s.Kind(), s);
        DrawImportName(pDC, *this, s);
    }
};

class SectionHarness : public KindViewHarness<CSectionTestView>
{
public:
    SectionHarness() : KindViewHarness(SystemKind::TwoVariable)
    {
        Open(new CSectionTestView, 640, 480);
        Update(HINT_RESET);
    }
};
} // namespace

// Set Limits of a view that names only its block opens the block's dialog with its captions,
// swaps a reversed pair, sets a working limit beyond its bound back with the axis's message,
// and marks the model modified; Cancel changes nothing.
TEST(PlotPieces, SetLimitsOpensTheBlocksDialogByDefault)
{
    MessageRecorder rec;
    SectionHarness h;
    CGraphTestDoc& d = *h.doc;
    WriteLimits(d, LimitBlock::PoincareSection, {{-4, 4, -10, 10}, {-2, 6, -10, 10}});
    ASSERT_TRUE(h.Enabled(ID_CONTROLS_SET_LIMITS));
    std::string labels;
    OnNextModal([&labels](QWidget* w) {
        auto* dlg = dynamic_cast<C2DViewLimDlg*>(CWnd::FromWidget(w));
        ASSERT_NE(dlg, nullptr);
        labels = dlg->m_strHMinLabel + "|" + dlg->m_strVAbsMaxLabel;
        EXPECT_EQ(dlg->Edit(1038)->text(), "4");
        dlg->Edit(1038)->setText("-3"); // working x max below its min
        dlg->Edit(1036)->setText("3");
        dlg->Edit(1042)->setText("12"); // working y max beyond its bound
        dlg->OnOK();
    });
    h.view->ExecuteCommand(ID_CONTROLS_SET_LIMITS);
    EXPECT_EQ(labels, "Minimum x (psxlo)|Maximum y (psayhi)");
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_EQ(rec.messages[0], "Working y upper limit is too high.\nSetting value to match "
                               "absolute limit.");
    const PlotLimits g = ReadLimits(d, LimitBlock::PoincareSection);
    EXPECT_EQ(g.x, (AxisLimits{-3, 3, -10, 10}));
    EXPECT_EQ(g.y, (AxisLimits{-2, 10, -10, 10}));
    EXPECT_EQ(d.m_nModified, 1);

    OnNextModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    h.view->ExecuteCommand(ID_CONTROLS_SET_LIMITS);
    EXPECT_EQ(ReadLimits(d, LimitBlock::PoincareSection), g);
    EXPECT_EQ(d.m_nModified, 1);
}

TEST(PlotPieces, EachKindLabelsItsInitialValuesAndEquations)
{
    for (int k = 0; k < kSystemKinds; ++k) {
        const auto kind = static_cast<SystemKind>(k);
        CGraphTestDoc doc(kind);
        const std::vector<double> init = InitialValues(kind, doc);
        EXPECT_EQ(init.size(), MarginLabels(kind).initial.size()) << k;
        EXPECT_EQ(doc.Equations().size(), MarginLabels(kind).equations.size()) << k;
        EXPECT_EQ(init.front(), doc.m_dInitX) << k;
    }
}

// The texts land where the Parts put them: the equations above the plot, the initial values
// and the time base in the left margin, the imported file's name on its colour at the bottom.
TEST(PlotPieces, MarginTextsAreDrawnAroundThePlot)
{
    constexpr COLORREF kImportColour = RGB(180, 0, 0);
    KindViewHarness<CTextsTestView> h(SystemKind::TwoVariable);
    h.doc->m_bHaveImport = 1;
    h.doc->m_clrImport[0] = kImportColour;
    h.doc->m_strImportFile = "orbit.d2d";
    h.Open(new CTextsTestView, 640, 480);
    h.Update(HINT_RESET);
    QApplication::processEvents();
    const QImage img = h.Picture();
    if (const QString dir = qEnvironmentVariable("VELTRIX_SHOTS"); !dir.isEmpty())
        img.save(dir + "/plot_margin_texts.png");
    const CRect plot = h.view->m_rcPlot;
    const COLORREF paper = GetSysColor(COLOR_WINDOW);
    const auto inked = [&](const CRect& r) {
        return r.Width() * r.Height() - CountColour(img, r, paper);
    };
    const CRect above(plot.left, 0, plot.right, plot.top - 2 * h.view->m_nTextHeight);
    const CRect left(0, plot.top, plot.left - 1, plot.bottom);
    const CRect bottomLeft(0, plot.bottom + 1, plot.left + 80,
                           plot.bottom + h.view->m_nMarginBottom);
    EXPECT_GT(inked(above), 100);
    EXPECT_GT(inked(left), 200);
    EXPECT_GT(CountColour(img, bottomLeft, kImportColour), 40);
}
