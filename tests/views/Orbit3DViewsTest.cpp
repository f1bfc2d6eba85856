// The orbit views in space on a test document: the section points of the Orbit Sections view
// with their controls and legend, the Full Orbit's return marks, imported rows and cursor, the
// Cycle Planes' turning points and the three-variable views' sections and "Show Cell?".
#include "ViewHarness.h"
#include "common/MessageRecorder.h"
#include "model/core/KindVars.h"
#include "views/dialogs/PlotStyleDlg.h"
#include "views/orbit/Box3Views.h"
#include "views/orbit/CyclePlanesView.h"
#include "views/orbit/FullOrbitView.h"
#include "views/orbit/OrbitSectionsView.h"

#include <QLineEdit>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace {
constexpr double kPi = 3.14159265358979323846;

// A view of a test document in a 700 x 560 window.
template <class View> struct Orbit3DHarness : KindViewHarness<View>
{
    explicit Orbit3DHarness(SystemKind kind) : KindViewHarness<View>(kind)
    {
        this->doc->m_dAngFreq = 1;
        this->doc->m_dPeriod = 2 * kPi;
        this->doc->m_nChrononsPerCycle = 100;
        this->doc->m_nTableInterval = 1;
        this->doc->m_dChronon = 2 * kPi / 100;
        this->Open(new View, 700, 560);
    }
    // The colours found in the plot.
    std::set<COLORREF> PlotColours()
    {
        this->Repaint();
        std::set<COLORREF> found;
        const CRect r = this->view->m_rcPlotHit;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                found.insert(this->Pixel(x, y));
        return found;
    }
};

// Sections of n rows around the circle x = 0 (radius 10), each section in a colour of its own.
struct SectionsFixture : Orbit3DHarness<CSys1PSOC>
{
    SectionsFixture() : Orbit3DHarness(SystemKind::Newtonian)
    {
        for (int k = 0; k < 16; ++k) {
            doc->m_clrSection[k] = RGB(40 + 10 * k, 0, 0);
            doc->m_clrSectionImport[k] = RGB(0, 0, 40 + 10 * k);
        }
    }
    void Fill(int rows, int n, double tShift = 0)
    {
        doc->FillRun(rows, n, [](int, double) { return 0.0; });
        for (int i = 0; i < rows; ++i)
            doc->m_arrTable[kSlotT][i] += tShift;
        Update(HINT_RESET);
    }
    // The pixel of time t on the circle.
    CPoint At(double t) const
    {
        CPoint p;
        EXPECT_TRUE(view->RowPixel(t, 0, 0, 0, p));
        return p;
    }
};
} // namespace

// Section k's point lies at the phase of row floor(s k / N) of each cycle, in its colour.
TEST(Orbit3DViews, SectionsLieAtTheirPhases)
{
    SectionsFixture f;
    for (int n : {2, 6, 15}) {
        f.view->m_nSections = n;
        f.Fill(1000, 1000);
        const std::set<COLORREF> colours = f.PlotColours();
        for (int k = 0; k < n; ++k) {
            const double t = (100 * k / n) * f.doc->m_dChronon;
            const CPoint p = f.At(t);
            EXPECT_EQ(f.Pixel(p.x, p.y), f.doc->m_clrSection[k]) << n << " " << k;
        }
        EXPECT_FALSE(colours.contains(f.doc->m_clrSection[n])) << n;
    }
}

// A wrapped ring starts its sections at its first row on the phase; without one it has none.
TEST(Orbit3DViews, AWrappedRingCountsFromTheSectionPhase)
{
    SectionsFixture f;
    f.Fill(250, 1037); // the oldest row lies 37 rows into a cycle
    EXPECT_EQ(f.Pixel(f.At(0).x, f.At(0).y), f.doc->m_clrSection[0]);
    f.doc->m_nTableInterval = 2; // rows two steps apart, every one a step off the phase
    f.Fill(250, 1037, f.doc->m_dChronon);
    for (int k = 0; k < 6; ++k)
        EXPECT_FALSE(f.PlotColours().contains(f.doc->m_clrSection[k])) << k;
}

// Imported rows are sectioned from their first row in the imported colours.
TEST(Orbit3DViews, ImportedRowsHaveSectionsOfTheirOwn)
{
    SectionsFixture f;
    f.Fill(300, 0);
    f.doc->m_bHaveData = 0;
    const int n = 450; // more rows than the ring holds: never wrapped at its length
    for (auto& c : f.doc->m_arrImport)
        c.assign(n, 0.0);
    for (int i = 0; i < n; ++i)
        f.doc->m_arrImport[kSlotT][i] = (i + 50) * f.doc->m_dChronon; // starts half a cycle on
    f.doc->m_nImportRows = n;
    f.doc->m_bHaveImport = 1;
    f.Update(HINT_RESET);
    const CPoint half = f.At(50 * f.doc->m_dChronon);
    EXPECT_EQ(f.Pixel(half.x, half.y), f.doc->m_clrSectionImport[0]);
    EXPECT_FALSE(f.PlotColours().contains(f.doc->m_clrSection[0]));
}

// A live row is a section point by its place in the run's cycles.
TEST(Orbit3DViews, LiveRowsFindTheirSections)
{
    SectionsFixture f;
    f.Fill(1000, 1000);
    f.doc->m_bHaveData = 0;
    f.Update(HINT_RESET);
    f.doc->m_bRunning = 1;
    for (int i : {116, 117, 150}) { // rows 16 and 50 of the second cycle: sections 1 and 3
        f.doc->m_nTableCount = i;
        CRowHint hint(i);
        f.view->OnUpdate(nullptr, HINT_ROW, &hint);
    }
    f.doc->m_bRunning = 0;
    QApplication::processEvents();
    const CPoint p1 = f.At(116 * f.doc->m_dChronon), p3 = f.At(150 * f.doc->m_dChronon);
    EXPECT_EQ(f.Pixel(p1.x, p1.y), f.doc->m_clrSection[1]);
    EXPECT_EQ(f.Pixel(p3.x, p3.y), f.doc->m_clrSection[3]);
    const CPoint off = f.At(117 * f.doc->m_dChronon);
    EXPECT_NE(f.Pixel(off.x, off.y), f.doc->m_clrSection[1]);
}

// "# Secs": Enter takes a whole number from 2 to 15 and refuses anything else with the message;
// the up-down stops at both ends.
TEST(Orbit3DViews, TheSectionCountIsHeldTo2Through15)
{
    SectionsFixture f;
    f.Fill(1000, 1000);
    auto* edit = static_cast<QLineEdit*>(f.view->m_sectionsEdit.GetWidget());
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), "6");
    struct Case
    {
        const char* typed;
        int sections;
        bool refused;
    };
    const Case cases[] = {{"7", 7, false}, {"7.5", 7, true}, {"0", 7, true},      {"16", 7, true},
                          {"1", 7, true},  {"abc", 7, true}, {"15.0", 15, false}, {"2", 2, false}};
    for (const Case& c : cases) {
        MessageRecorder boxes;
        edit->setText(c.typed);
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_EQ(f.view->m_nSections, c.sections) << c.typed;
        EXPECT_EQ(f.doc->m_nOrbitSections, c.sections) << c.typed;
        EXPECT_EQ(boxes.messages, c.refused ? std::vector<std::string>{"Please enter an integer "
                                                                       "from 2 to 15"}
                                            : std::vector<std::string>{})
            << c.typed;
        if (c.refused) {
            EXPECT_EQ(edit->selectedText(), QString(c.typed));
        }
    }
    for (int i = 0; i < 20; ++i)
        f.view->m_spin.Step(true);
    EXPECT_EQ(f.view->m_nSections, 15);
    EXPECT_EQ(edit->text(), "15");
    for (int i = 0; i < 20; ++i)
        f.view->m_spin.Step(false);
    EXPECT_EQ(f.view->m_nSections, 2);
    f.view->m_buddyEdit.SetWindowText("40"); // whatever reaches the buddy
    EXPECT_EQ(f.view->m_nSections, 15);
}

// A click on a legend square picks that section's colour, internal or imported.
TEST(Orbit3DViews, LegendSquaresPickTheSectionColours)
{
    SectionsFixture f;
    f.Fill(1000, 1000);
    f.Repaint();
    const auto old = CPlotStyleDlg::s_pickColor;
    CPlotStyleDlg::s_pickColor = [](COLORREF, QWidget*) { return RGB(1, 2, 3); };
    const int L = f.view->m_nLegendLeft, T = f.view->m_nLegendTop;
    f.view->OnLButtonDown(0, CPoint(L + 3, T + 15 * 2 + 7));
    f.view->OnLButtonDown(0, CPoint(L + 18, T + 15 * 4 + 1));
    f.view->OnLButtonDown(0, CPoint(L + 3, T + 15 * 6 + 1)); // below the last square
    f.view->OnLButtonDown(0, CPoint(L + 3, T - 1));          // above the first
    CPlotStyleDlg::s_pickColor = old;
    EXPECT_EQ(f.doc->m_clrSection[2], RGB(1, 2, 3));
    EXPECT_EQ(f.doc->m_clrSectionImport[4], RGB(1, 2, 3));
    EXPECT_NE(f.doc->m_clrSection[5], RGB(1, 2, 3));
    EXPECT_NE(f.doc->m_clrSection[0], RGB(1, 2, 3));
    EXPECT_EQ(f.doc->m_nModified, 2);
}

namespace {
// A ring of the given rows holding n rows on the circle x = 0, x' = 0 (the Full Orbit's radius
// 10 at height 0), one step apart.
template <class View> struct CircleFixture : Orbit3DHarness<View>
{
    explicit CircleFixture(SystemKind kind) : Orbit3DHarness<View>(kind) {}
    void Fill(int rows, int n)
    {
        this->doc->FillRun(rows, n, [](int, double) { return 0.0; });
        this->Update(HINT_RESET);
    }
    CPoint AtRow(int row) const
    {
        CPoint p;
        const double t = this->doc->m_arrTable[kSlotT][row];
        EXPECT_TRUE(this->view->RowPixel(t, 0, 0, 0, p));
        return p;
    }
};
} // namespace

// The pixels of a row at a whole forcing period of time and of a 100th row from the oldest in a
// wrapped ring of 250 rows holding 1037 (the oldest is run row 787, 87 rows into a cycle):
// whether each is in the marks' colour.
template <class View> std::pair<bool, bool> MarkedRows(SystemKind kind)
{
    CircleFixture<View> f(kind);
    f.doc->m_bMarkReturn[2] = 1;
    f.Fill(250, 1037);
    f.Repaint();
    const int oldest = f.doc->m_nTableIndex;
    const CPoint a = f.AtRow((oldest + 13) % 250); // run row 800: 8 whole periods
    const CPoint b = f.AtRow((oldest + 100) % 250);
    return {f.Pixel(a.x, a.y) == f.doc->m_clrFO2, f.Pixel(b.x, b.y) == f.doc->m_clrFO2};
}

// Return marks of a wrapped ring: the Newtonian kind's end on the rows at whole forcing periods,
// wherever the oldest row lies; the one- and two-variable kinds' every s-th row from the oldest.
TEST(Orbit3DViews, FullOrbitReturnMarks)
{
    EXPECT_EQ(MarkedRows<CSys1PSO>(SystemKind::Newtonian), std::pair(true, false));
    EXPECT_EQ(MarkedRows<CSys1NNPSO>(SystemKind::OneVariable), std::pair(false, true));
    EXPECT_EQ(MarkedRows<CSys2PSO>(SystemKind::TwoVariable), std::pair(false, true));
}

// Imported rows beyond the ring's length are all drawn, in file order, with the imported pen.
TEST(Orbit3DViews, FullOrbitDrawsEveryImportedRow)
{
    CircleFixture<CSys2PSO> f(SystemKind::TwoVariable);
    f.Fill(100, 0);
    f.doc->m_bHaveData = 0;
    const int n = 400; // four turns of a widening spiral: x from -8 to 8
    for (auto& c : f.doc->m_arrImport)
        c.assign(n, 0.0);
    for (int i = 0; i < n; ++i) {
        f.doc->m_arrImport[kSlotT][i] = i * f.doc->m_dChronon;
        f.doc->m_arrImport[kSlotX][i] = -8 + 16.0 * i / n;
    }
    f.doc->m_nImportRows = n;
    f.doc->m_bHaveImport = 1;
    f.Update(HINT_RESET);
    f.Repaint();
    CPoint last;
    ASSERT_TRUE(f.view->RowPixel(f.doc->m_arrImport[kSlotT][n - 2], 8 - 32.0 / n, 0, 0, last));
    EXPECT_EQ(f.Pixel(last.x, last.y), f.doc->m_clrImportView[2]);
}

// Up and Down stop at the table's ends: past the last row to row 0, below row 0 to the last;
// Shift steps ten rows. The cross stands at the cursor's row.
TEST(Orbit3DViews, FullOrbitCursorKeys)
{
    CircleFixture<CSys1PSO> f(SystemKind::Newtonian);
    f.Fill(1000, 200);
    f.Repaint();
    EXPECT_EQ(f.view->m_cursor.row, 0);
    f.view->OnKeyDown(VK_DOWN, 1, 0);
    EXPECT_EQ(f.view->m_cursor.row, 199);
    QTest::keyPress(f.view->GetWidget(), Qt::Key_Shift, Qt::ShiftModifier); // held
    f.view->OnKeyDown(VK_DOWN, 1, 0);
    EXPECT_EQ(f.view->m_cursor.row, 189);
    for (int i = 0; i < 2; ++i)
        f.view->OnKeyDown(VK_UP, 1, 0);
    EXPECT_EQ(f.view->m_cursor.row, 0); // 209 is past the end
    QTest::keyRelease(f.view->GetWidget(), Qt::Key_Shift);
    f.view->OnKeyDown(VK_UP, 1, 0);
    EXPECT_EQ(f.view->m_cursor.row, 1);
    EXPECT_EQ(f.view->m_ptCross, f.AtRow(1));
    f.Update(HINT_MODEL); // every update puts it back on the oldest row
    EXPECT_EQ(f.view->m_cursor.row, 0);
}

// A click on the marks' swatch edits their pen; a click without a drag keeps the run drawn.
TEST(Orbit3DViews, FullOrbitLegendAndClicks)
{
    CircleFixture<CSys1PSO> f(SystemKind::Newtonian);
    f.doc->m_bMarkReturn[2] = 1;
    f.Fill(1000, 500);
    f.Repaint();
    const CRect r = f.view->m_legend.Box(C3DView::kMarkItem);
    ASSERT_GT(r.Width(), 0);
    OnNextModal([](QWidget* w) {
        auto* d = dynamic_cast<CPlotStyleDlg*>(CWnd::FromWidget(w));
        ASSERT_NE(d, nullptr);
        d->m_editWidth->setText("5");
        d->OnOK();
    });
    f.view->OnLButtonDown(0, CPoint(r.left + 2, r.top + 2));
    EXPECT_EQ(f.doc->m_nWidthFO2, 5);
    EXPECT_EQ(f.doc->m_nModified, 1);
    EXPECT_EQ(f.view->m_legend.Box(C3DView::kImportItem), CRect(-1, -1, -1, -1));

    const CPoint mid = f.AtRow(30);
    f.view->OnLButtonDown(0, mid);
    f.view->OnLButtonUp(0, mid);
    f.Repaint();
    EXPECT_EQ(f.Pixel(f.AtRow(30).x, f.AtRow(30).y), f.doc->m_clrFO);
}

// The three-variable Poincaré Section: a point each cycle from the first row on the section
// phase, none in a wrapped ring without one, a live point only at a whole cycle; "Show Cell?"
// hides the box's edges and keeps the flag with the model.
TEST(Orbit3DViews, ThreeVariableSectionsAndCell)
{
    Orbit3DHarness<CSys3PS> f(SystemKind::ThreeVariable);
    auto fill = [&](int tiRows, double tShift) {
        f.doc->m_nTableInterval = tiRows;
        f.doc->FillRun(250, 1037, [](int slot, double t) {
            return slot == kSlotX ? 8 * std::cos(t / 3) : slot == kSlotY ? 8 * std::sin(t / 3) : 0;
        });
        for (double& t : f.doc->m_arrTable[kSlotT])
            t += tShift;
        f.Update(HINT_RESET);
    };
    auto pointAt = [&](int row) {
        CPoint p;
        const auto& c = f.doc->m_arrTable;
        EXPECT_TRUE(f.view->RowPixel(c[kSlotT][row], c[kSlotX][row], c[kSlotY][row], 0, p));
        return f.Pixel(p.x, p.y);
    };
    fill(1, 0);
    f.Repaint();
    const int oldest = f.doc->m_nTableIndex;                 // run row 787
    EXPECT_EQ(pointAt((oldest + 13) % 250), f.doc->m_clrPS); // run row 800
    EXPECT_NE(pointAt((oldest + 14) % 250), f.doc->m_clrPS);
    fill(2, f.doc->m_dChronon); // rows two steps apart, each a step off the phase
    EXPECT_FALSE(f.PlotColours().contains(f.doc->m_clrPS));

    f.view->OnShowCell();
    EXPECT_EQ(f.doc->m_bShowCellPS, 0);
    EXPECT_EQ(f.view->m_showCell.GetCheck(), BST_UNCHECKED);
    f.Repaint();
    const CPoint corner = f.view->BoxCorner(7);
    EXPECT_EQ(f.Pixel(corner.x, corner.y), RGB(255, 255, 255));
    f.view->OnShowCell();
    f.Repaint();
    EXPECT_EQ(f.doc->m_bShowCellPS, 1);
    EXPECT_NE(f.Pixel(corner.x, corner.y), RGB(255, 255, 255));
}

// The Cycle Planes: a segment over a turning point takes the second pen and gets its plane;
// modes 6 and 7 draw the portrait at t = 0, 8 to 11 along time.
TEST(Orbit3DViews, CyclePlanesMarkTurningPoints)
{
    Orbit3DHarness<CSys1CP> f(SystemKind::Newtonian);
    f.doc->m_bMarkReturn[0] = 1;
    f.doc->m_clrPO2 = RGB(0, 0, 200);
    f.doc->m_nWidthPO2 = 1;
    // v = 0.3 cos(t + 0.01) turns from positive to negative between rows 124 and 125.
    f.doc->FillRun(2000, 2000, [](int slot, double t) {
        return slot == kSlotX    ? 0.3 * std::sin(t + 0.01)
               : slot == kSlotXp ? 0.3 * std::cos(t + 0.01)
                                 : 0;
    });
    auto near = [&](CPoint p, COLORREF c) {
        int n = 0;
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                n += f.Pixel(p.x + dx, p.y + dy) == c;
        return n;
    };
    for (int mode : {6, 10}) {
        f.doc->m_nRSMode = mode;
        f.Update(HINT_RESET);
        f.Repaint();
        const auto& c = f.doc->m_arrTable;
        const double t = mode > 7 ? c[kSlotT][125] : 0;
        EXPECT_GT(near(f.view->Project(t, c[kSlotX][125], c[kSlotXp][125]), f.doc->m_clrPO2), 0)
            << mode;
        // The plane's p axis at the turning point's time.
        EXPECT_GT(near(f.view->Project(c[kSlotT][124], 0.3, 0), GetSysColor(COLOR_WINDOWTEXT)), 0)
            << mode;
    }
    f.doc->m_bMarkReturn[0] = 0;
    EXPECT_FALSE(f.PlotColours().contains(f.doc->m_clrPO2));
}

namespace {
// The chaotic forced Duffing oscillator x'' = 7.5 cos t - x^3 - 0.05 x' run for the given
// forcing periods, whole in the ring.
void RunDuffing(CGraphTestDoc& d, int periods)
{
    d.m_strAppliedForce = "7.5*cos(t)";
    d.m_strRestoringForce = "-x*x*x";
    d.m_strDragForce = "-0.05*x'";
    d.m_nTableRows = periods * 100 + 10;
    d.m_dRunTimeLimit = periods * d.m_dPeriod;
    for (LimitBlock b : {LimitBlock::FullOrbit, LimitBlock::OrbitSections})
        WriteLimits(d, b, {{-4, 5, -10, 10}, {-8, 8, -10, 10}});
    d.RecordEquations(); // the forces joined again
    ASSERT_TRUE(d.CompileEquations());
    struct : ICalcSink
    {
    } sink;
    d.Run(sink);
}
} // namespace

// A chaotic run on the cylinder: its orbit winds round it, its sections are clouds of points
// in all six colours. With VELTRIX_SHOTS set, the pictures are saved.
TEST(Orbit3DViews, AChaoticRunOnTheCylinder)
{
    Orbit3DHarness<CSys1PSO> orbit(SystemKind::Newtonian);
    RunDuffing(*orbit.doc, 40);
    orbit.doc->m_bMarkReturn[2] = 1;
    orbit.Update(HINT_MODEL);
    const std::set<COLORREF> drawn = orbit.PlotColours();
    EXPECT_TRUE(drawn.contains(orbit.doc->m_clrFO));
    EXPECT_TRUE(drawn.contains(orbit.doc->m_clrFO2));

    Orbit3DHarness<CSys1PSOC> sections(SystemKind::Newtonian);
    RunDuffing(*sections.doc, 1000);
    sections.Update(HINT_MODEL);
    int points = 0;
    for (COLORREF c : sections.PlotColours())
        points += c == sections.doc->m_clrSection[0] || c == sections.doc->m_clrSection[1];
    EXPECT_EQ(points, 2);
    if (const QString dir = qEnvironmentVariable("VELTRIX_SHOTS"); !dir.isEmpty()) {
        orbit.Picture().save(dir + "/orbit3d_full_orbit_duffing.png");
        sections.Picture().save(dir + "/orbit3d_sections_duffing.png");
    }
}
