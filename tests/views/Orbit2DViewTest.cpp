// The Poincaré Section and Projected Orbit views of the plane on a test document: the section
// points of real runs, the section rows of a wrapped ring and of imported rows, the cursor keys
// at both ends of each source, the return marks, Set Limits with the views' captions and
// messages, the legend's boxes, and the updates that come during a run.
#include "PlotPixels.h"
#include "ViewHarness.h"
#include "common/MessageRecorder.h"
#include "model/CommandIds.h"
#include "platform/Messages.h"
#include "resources/ResourceIds.h"
#include "views/base/RowPainter.h"
#include "views/dialogs/PlotLimDlg.h"
#include "views/dialogs/PlotStyleDlg.h"
#include "views/orbit/PoincareView.h"
#include "views/orbit/ProjectedOrbitView.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {
constexpr COLORREF kPoints = RGB(200, 0, 100), kOrbit = RGB(0, 90, 200), kMarks = RGB(250, 160, 0);
constexpr SystemKind kPlaneKinds[] = {SystemKind::Newtonian, SystemKind::OneVariable,
                                      SystemKind::TwoVariable};

enum class Plane
{
    Section,
    Orbit
};

COrbitPlaneView* NewPlaneView(Plane p, SystemKind kind)
{
    if (p == Plane::Section)
        return NewKindView<COrbitPlaneView, CSys1PS, CSys1NNPS, CSys2PS, CSys2PS>(kind);
    return NewKindView<COrbitPlaneView, CSys1PSP, CSys1NNPSP, CSys2PSP, CSys2PSP>(kind);
}

class PlaneHarness : public KindViewHarness<COrbitPlaneView>
{
public:
    PlaneHarness(Plane p, SystemKind kind) : KindViewHarness(kind)
    {
        doc->m_clrPS = kPoints;
        doc->m_clrPO = kOrbit;
        doc->m_clrPO2 = kMarks;
        Open(NewPlaneView(p, kind), 640, 480);
        Update(HINT_RESET);
        QApplication::processEvents();
    }
    int Count(COLORREF c) const { return CountColour(Picture(), view->m_rcPlot, c); }
    // Shift goes down as the keyboard reports it, held for the keys that follow.
    void Key(UINT vk)
    {
        if (vk == VK_SHIFT)
            QTest::keyPress(view->GetWidget(), Qt::Key_Shift, Qt::ShiftModifier);
        else
            view->OnKeyDown(vk, 1, 0);
    }
    // Ten rows a period (dt 0.1, period 1), n of them stored in a ring of `rows`; x and the
    // vertical variable both t - 5, so every row has a pixel of its own.
    void TenRowsAPeriod(int rows, int n)
    {
        doc->m_dPeriod = 1;
        doc->m_dChronon = 0.1;
        doc->m_nChrononsPerCycle = 10;
        doc->m_nTableInterval = 1;
        doc->FillRun(rows, n, [](int, double t) { return t - 5; });
    }
    void Import(int n)
    {
        for (auto& c : doc->m_arrImport)
            c.assign(n, 0.0);
        for (int i = 0; i < n; ++i)
            for (int slot = 0; slot < kSlots; ++slot)
                doc->m_arrImport[slot][i] = slot == 0        ? i * 0.1
                                            : slot == kSlotX ? i * 0.3 - 9
                                                             : 9 - i * 0.3;
        doc->m_nImportRows = n;
        doc->m_bHaveImport = n > 0;
    }
};

// The rows a Poincaré Section of the document plots.
std::vector<int> SectionRowsOf(const CGraphTestDoc& d)
{
    const TableRing r{d.m_nTableIndex, d.m_nTableCount, d.m_bTableWrapped != 0};
    std::vector<int> rows;
    WalkSections(RunSpan(d, r), RowsPerCycle(d.m_nChrononsPerCycle, d.m_nTableInterval),
                 d.m_dPeriod, d.RunStep(), [&](int row) { rows.push_back(row); });
    return rows;
}
} // namespace

// The default run of each kind over one period gives the points at its start and its end, over
// ten periods eleven; the cursor steps through the same rows and round to the first.
TEST(Orbit2DView, DefaultRunsGiveOneSectionPointAPeriod)
{
    for (SystemKind kind : kPlaneKinds) {
        for (const auto& [periods, points] : {std::pair{1, 2u}, std::pair{10, 11u}}) {
            SCOPED_TRACE(static_cast<int>(kind) * 100 + periods);
            PlaneHarness h(Plane::Section, kind);
            CGraphTestDoc& d = *h.doc;
            d.m_dRunTimeLimit = periods * d.m_dPeriod;
            struct : ICalcSink
            {
            } sink;
            d.Run(sink);
            const std::vector<int> rows = SectionRowsOf(d);
            ASSERT_EQ(rows.size(), points);
            for (int row : rows)
                EXPECT_NEAR(std::remainder(d.m_arrTable[kSlotT][row], d.m_dPeriod), 0, 1e-9);
            h.Update(HINT_MODEL);
            std::vector<int> walked{h.view->m_cursor.row};
            for (std::size_t i = 0; i < points; ++i) {
                h.Key(VK_UP);
                walked.push_back(h.view->m_cursor.row);
            }
            EXPECT_EQ(walked.back(), rows.front());
            walked.pop_back();
            EXPECT_EQ(walked, rows);
        }
    }
}

// A forced Duffing oscillator (x'' = 7.5 cos t - x^3 - 0.05 x') is chaotic: its section over a
// thousand periods, kept whole in the ring, is a cloud of distinct points.
TEST(Orbit2DView, SectionOfAChaoticRunShowsItsAttractor)
{
    PlaneHarness h(Plane::Section, SystemKind::Newtonian);
    CGraphTestDoc& d = *h.doc;
    d.m_strAppliedForce = "7.5*cos(t)";
    d.m_strRestoringForce = "-x*x*x";
    d.m_strDragForce = "-0.05*x'";
    d.m_nTableRows = 110000;
    d.m_dRunTimeLimit = 1000 * d.m_dPeriod;
    WriteLimits(d, LimitBlock::PoincareSection, {{1, 4, -10, 10}, {-6, 8, -10, 10}});
    d.m_clrPS = CModelSettings().m_clrPS; // the picture in the program's own colour
    d.RecordEquations();                  // the forces joined again
    ASSERT_TRUE(d.CompileEquations());
    struct : ICalcSink
    {
    } sink;
    d.Run(sink);
    ASSERT_EQ(SectionRowsOf(d).size(), 1001u);
    h.Update(HINT_MODEL);
    h.Repaint();
    EXPECT_GT(h.Count(d.m_clrPS), 500);
    if (const QString dir = qEnvironmentVariable("VELTRIX_SHOTS"); !dir.isEmpty())
        h.Picture().save(dir + "/orbit2d_section_attractor.png");
}

// A wrapped ring plots the rows on the phase from the first of them; imported rows count from
// their row 0 at their own length; a wrapped ring with no row on the phase plots none and puts
// the cursor on its oldest row.
TEST(Orbit2DView, SectionPointsOfAWrappedRingAndOfImportedRows)
{
    const struct
    {
        int rows, stored, imported;
        double shift; // added to every stored time
        int points, importedPoints, cursor;
    } cases[] = {
        {37, 89, 0, 0.0, 3, 0, 23}, // oldest row 15 at t 5.2: t 6, 7, 8 at rows 23, 33, 6
        {37, 40, 25, 0.0, 3, 3, 10},
        {37, 89, 0, 0.05, 0, 0, 15}, // every row 0.05 off the phase, which is 0.005 wide
        {100, 95, 0, 0.0, 10, 0, 0}, // not wrapped: from row 0
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored * 10 + c.imported);
        PlaneHarness h(Plane::Section, SystemKind::Newtonian);
        h.TenRowsAPeriod(c.rows, c.stored);
        for (double& t : h.doc->m_arrTable[kSlotT])
            t += c.shift;
        h.doc->m_dChronon = c.shift > 0 ? 0.01 : 0.1;
        h.Import(c.imported);
        h.Update(HINT_MODEL);
        h.Repaint();
        EXPECT_EQ(h.Count(kPoints), c.points);
        EXPECT_EQ(h.Count(h.doc->m_clrImportView[4]), c.importedPoints);
        EXPECT_EQ(h.view->m_cursor.row, c.cursor);
        EXPECT_EQ(h.view->m_cursor.source, 0);
    }
}

// Up and Down at both ends of each source, as each view's rule goes round.
TEST(Orbit2DView, CursorKeysAtBothEnds)
{
    struct Case
    {
        const char* name;
        Plane plane;
        SystemKind kind;
        int rows, stored, interval, imported;
        int from;
        std::vector<UINT> keys;
        int to, source;
    };
    const SystemKind N = SystemKind::Newtonian, One = SystemKind::OneVariable,
                     Two = SystemKind::TwoVariable;
    const Case cases[] = {
        // s = 10 (table interval 10 of 100 chronons a cycle), 95 rows not wrapped.
        {"section down from 0", Plane::Section, N, 100, 95, 10, 0, 0, {VK_DOWN}, 90, 0},
        {"section up from 90", Plane::Section, N, 100, 95, 10, 0, 90, {VK_UP}, 0, 0},
        {"section imported 90", Plane::Section, One, 100, 95, 10, 90, 0, {'I', VK_DOWN}, 80, 1},
        {"section imported 95", Plane::Section, Two, 100, 95, 10, 95, 0, {'I', VK_DOWN}, 90, 1},
        {"section no import", Plane::Section, N, 100, 95, 10, 0, 30, {'I'}, 30, 0},
        // A wrapped ring of 37 rows, oldest row 15: the Newtonian orbit goes round from the
        // newest row to the oldest, the others at the array's ends.
        {"orbit ring up", Plane::Orbit, N, 37, 89, 1, 0, 36, {VK_UP}, 15, 0},
        {"orbit ring down", Plane::Orbit, N, 37, 89, 1, 0, 0, {VK_DOWN}, 14, 0},
        {"orbit array up", Plane::Orbit, One, 37, 89, 1, 0, 36, {VK_UP}, 0, 0},
        {"orbit array down", Plane::Orbit, Two, 37, 89, 1, 0, 0, {VK_DOWN}, 36, 0},
        {"orbit shift", Plane::Orbit, Two, 37, 89, 1, 0, 20, {VK_SHIFT, VK_UP}, 30, 0},
        {"orbit imported", Plane::Orbit, One, 37, 89, 1, 12, 5, {'I', VK_DOWN}, 11, 1},
        {"orbit G", Plane::Orbit, N, 37, 89, 1, 12, 5, {'I', 'G'}, 15, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlaneHarness h(c.plane, c.kind);
        h.TenRowsAPeriod(c.rows, c.stored);
        h.doc->m_nChrononsPerCycle = 100;
        h.doc->m_nTableInterval = c.interval;
        h.Import(c.imported);
        h.Update(HINT_MODEL);
        h.view->m_cursor.row = c.from;
        for (UINT key : c.keys)
            h.Key(key);
        QTest::keyRelease(h.view->GetWidget(), Qt::Key_Shift); // for the cases after
        EXPECT_EQ(h.view->m_cursor.row, c.to);
        EXPECT_EQ(h.view->m_cursor.source, c.source);
    }
}

// Without rows the keys do nothing; an update puts an imported cursor back inside its rows.
TEST(Orbit2DView, CursorStaysInsideItsRows)
{
    PlaneHarness h(Plane::Orbit, SystemKind::OneVariable);
    h.doc->m_bHaveData = 0;
    h.Key(VK_UP);
    h.Key('G');
    EXPECT_EQ(h.view->m_cursor.row, 0);
    h.Import(40);
    h.Key('I');
    h.view->m_cursor.row = 39;
    h.Import(10); // a shorter file imported since
    h.Update(HINT_TITLE);
    EXPECT_EQ(h.view->m_cursor.source, 1);
    EXPECT_LT(h.view->m_cursor.row, 10);
    h.Key(VK_DOWN);
    EXPECT_EQ(h.view->m_cursor.row, 9);
}

// With "Mark Return Chronon" on, the segments that end one forcing cycle apart take the marks'
// pen: every one at s = 1; the Newtonian kind places them by the oldest row's phase, the others
// count from the oldest row.
TEST(Orbit2DView, ReturnMarks)
{
    for (const auto& [interval, marked, orbit] :
         {std::tuple{1, true, true}, std::tuple{10, true, false}, std::tuple{1, false, true}}) {
        SCOPED_TRACE(interval * 10 + marked);
        PlaneHarness h(Plane::Orbit, SystemKind::TwoVariable);
        CGraphTestDoc& d = *h.doc;
        d.m_nChrononsPerCycle = 10;
        d.m_nTableInterval = interval;
        d.m_nWidthPO2 = 1;
        d.m_bMarkReturn[0] = marked;
        d.FillRun(400, 400, [](int slot, double t) {
            return slot == kSlotX ? 8 * std::cos(t) : 8 * std::sin(t);
        });
        h.Update(HINT_MODEL);
        h.Repaint();
        EXPECT_EQ(h.Count(kMarks) > 0, marked);
        EXPECT_EQ(h.Count(kOrbit) > 0, orbit); // s = 1: every segment is a marked one
    }
    for (SystemKind kind : kPlaneKinds) {
        CGraphTestDoc d(kind);
        d.m_dPeriod = 1;
        d.m_dChronon = 0.1;
        d.m_nChrononsPerCycle = 10;
        d.FillRun(37, 89, [](int, double) { return 0.0; }); // oldest row at t 5.2
        const RingSpan ring = RunSpan(d, {d.m_nTableIndex, d.m_nTableCount, true});
        const MarkRule rule = CycleMarks(d, ring, CProjectedOrbitView::Describe(kind).phaseMarks);
        for (int age = 0; age < 37; ++age) {
            const double t = d.m_arrTable[kSlotT][(ring.index + age) % 37];
            const bool onPhase = std::abs(std::remainder(t, 1.0)) < 0.05;
            EXPECT_EQ(rule.Marked(age), kind == SystemKind::Newtonian ? onPhase : age % 10 == 0)
                << static_cast<int>(kind) << " " << age;
        }
    }
}

// Set Limits captions its fields by the view's prefix and the kind's axes, swaps reversed pairs,
// holds a working limit inside its bound with the axis's message and updates this view only.
TEST(Orbit2DView, SetLimitsCaptionsAndClamps)
{
    const struct
    {
        Plane plane;
        SystemKind kind;
        LimitBlock block;
        const char* labels;
        const char* message;
    } cases[] = {
        {Plane::Section, SystemKind::Newtonian, LimitBlock::PoincareSection,
         "Minimum x (psxlo)|Maximum x' (psax'hi)", "Working x' upper limit is too high."},
        {Plane::Section, SystemKind::TwoVariable, LimitBlock::PoincareSection,
         "Minimum x (psxlo)|Maximum y (psayhi)", "Working y upper limit is too high."},
        {Plane::Orbit, SystemKind::OneVariable, LimitBlock::ProjectedOrbit,
         "Minimum x (poxlo)|Maximum x' (poax'hi)", "Working x' upper limit is too high."},
        {Plane::Orbit, SystemKind::TwoVariable, LimitBlock::ProjectedOrbit,
         "Minimum x (poxlo)|Maximum y (poayhi)", "Working y upper limit is too high."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.labels);
        MessageRecorder rec;
        PlaneHarness h(c.plane, c.kind);
        CGraphTestDoc& d = *h.doc;
        WriteLimits(d, c.block, {{-4, 4, -10, 10}, {-2, 6, -10, 10}});
        std::string labels;
        OnNextModal([&labels](QWidget* w) {
            auto* dlg = dynamic_cast<C2DViewLimDlg*>(CWnd::FromWidget(w));
            ASSERT_NE(dlg, nullptr);
            labels = dlg->m_strHMinLabel + "|" + dlg->m_strVAbsMaxLabel;
            dlg->Edit(1038)->setText("-3"); // working x max below its min: swapped
            dlg->Edit(1036)->setText("3");
            dlg->Edit(1042)->setText("12"); // working vertical max beyond its bound
            dlg->OnOK();
        });
        h.view->ExecuteCommand(ID_CONTROLS_SET_LIMITS);
        EXPECT_EQ(labels, c.labels);
        ASSERT_EQ(rec.messages.size(), 1u);
        EXPECT_EQ(rec.messages[0],
                  std::string(c.message) + "\nSetting value to match absolute limit.");
        const PlotLimits g = ReadLimits(d, c.block);
        EXPECT_EQ(g.x, (AxisLimits{-3, 3, -10, 10}));
        EXPECT_EQ(g.y, (AxisLimits{-2, 10, -10, 10}));
        EXPECT_EQ(h.view->m_dXMin, -3);
        EXPECT_EQ(d.m_nModified, 1);
    }
}

// A click on the computed points' box picks their colour; the imported box answers only with
// imported data.
TEST(Orbit2DView, SectionLegendPicksTheColours)
{
    PlaneHarness h(Plane::Section, SystemKind::Newtonian);
    CGraphTestDoc& d = *h.doc;
    const auto saved = CPlotStyleDlg::s_pickColor;
    CPlotStyleDlg::s_pickColor = [](COLORREF, QWidget*) { return RGB(10, 20, 30); };
    const auto click = [&h](int item) {
        const CRect r = h.view->m_legend.Box(item);
        h.view->OnLButtonDown(0, CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    };
    click(1);
    EXPECT_EQ(d.m_nModified, 0);
    click(0);
    EXPECT_EQ(d.m_clrPS, RGB(10, 20, 30));
    EXPECT_EQ(d.m_nModified, 1);
    h.Import(20);
    h.Repaint();
    click(1);
    EXPECT_EQ(d.m_clrImportView[4], RGB(10, 20, 30));
    EXPECT_EQ(d.m_nModified, 2);
    CPlotStyleDlg::s_pickColor = saved;
    EXPECT_FALSE(h.view->m_bBanding);
}

// The orbit's box opens the plot style with "Mark Return Chronon"; once marked, the marks' box
// shows and edits their pen, sharing the flag.
TEST(Orbit2DView, OrbitLegendEditsPensAndMarks)
{
    PlaneHarness h(Plane::Orbit, SystemKind::Newtonian);
    CGraphTestDoc& d = *h.doc;
    EXPECT_EQ(h.view->m_legend.Box(2), CRect(-1, -1, -1, -1));
    const auto edit = [&h](int item, const char* width, bool mark) {
        OnNextModal([width, mark](QWidget* w) {
            auto* dlg = dynamic_cast<CPlotStyleDlg*>(CWnd::FromWidget(w));
            ASSERT_NE(dlg, nullptr);
            EXPECT_EQ(dlg->m_nMode, 1);
            dlg->m_bMarkReturn = mark;
            dlg->UpdateData(FALSE);
            dlg->m_editWidth->setText(width);
            dlg->OnOK();
        });
        const CRect r = h.view->m_legend.Box(item);
        h.view->OnLButtonDown(0, CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
        h.Repaint();
    };
    edit(0, "2", true);
    EXPECT_EQ(d.m_nWidthPO, 2);
    EXPECT_TRUE(d.m_bMarkReturn[0]);
    ASSERT_NE(h.view->m_legend.Box(2), CRect(-1, -1, -1, -1));
    d.FillRun(1000, 1000, [](int slot, double t) {
        return (slot == kSlotX ? 6 * std::cos(t) : 6 * std::sin(t)) * std::exp(-t / 40);
    });
    h.Import(60);
    d.m_bMarkReturn[1] = 1;
    h.Repaint();
    EXPECT_NE(h.view->m_legend.Box(3), CRect(-1, -1, -1, -1));
    if (const QString dir = qEnvironmentVariable("VELTRIX_SHOTS"); !dir.isEmpty())
        h.Picture().save(dir + "/orbit2d_orbit_marks_import.png");
    edit(2, "5", false);
    EXPECT_EQ(d.m_nWidthPO2, 5);
    EXPECT_FALSE(d.m_bMarkReturn[0]);
    EXPECT_EQ(d.m_nModified, 2);
}

// During a run a stored row is drawn (a section point only once a cycle, counted from the run's
// first row); any other update repaints the rows stored so far and is never taken for a row.
TEST(Orbit2DView, UpdatesDuringARunAreNoRows)
{
    for (Plane plane : {Plane::Section, Plane::Orbit}) {
        SCOPED_TRACE(plane == Plane::Section ? "section" : "orbit");
        PlaneHarness h(plane, SystemKind::TwoVariable);
        CGraphTestDoc& d = *h.doc;
        d.m_nChrononsPerCycle = 10; // ten rows a cycle
        d.m_dChronon = d.m_dPeriod / 10;
        d.m_dRunTimeLimit = 30 * d.m_dPeriod;
        d.m_dInitX = -5; // a straight line: every row a pixel of its own
        d.m_strXRate = "0.3";
        d.m_strYRate = "0.2";
        ASSERT_TRUE(d.CompileEquations());
        // The document's part of each row, then the view's, as the run's messages give them.
        struct Sink : ICalcSink
        {
            PlaneHarness& h;
            COLORREF ink;
            std::vector<int> counts;
            Sink(PlaneHarness& harness, COLORREF c) : h(harness), ink(c) {}
            void RowStored(int index, RowCount count) override
            {
                h.doc->m_nTableIndex = index;
                h.doc->m_nTableCount = count;
                CRowHint row(index);
                h.view->OnUpdate(nullptr, HINT_ROW, &row);
                if (count != 25)
                    return;
                QApplication::processEvents();
                counts.push_back(h.Count(ink));
                for (LPARAM hint : {HINT_RESET, HINT_TITLE, HINT_PLOT_STYLE, HINT_PS_LIMITS,
                                    HINT_PO_LIMITS, HINT_VF_GRID}) {
                    h.Update(hint);
                    h.Repaint();
                    counts.push_back(h.Count(ink));
                }
            }
        } sink(h, plane == Plane::Section ? kPoints : kOrbit);
        d.m_bPlotConcurrent = 1;
        d.m_bPlotPostCalc = 0;
        d.Run(sink);
        ASSERT_EQ(sink.counts.size(), 7u);
        if (plane == Plane::Section) {
            EXPECT_EQ(sink.counts[0], 3); // rows 0, 10 and 20 of 26
        }
        for (std::size_t i = 1; i < sink.counts.size(); ++i)
            EXPECT_GE(sink.counts[i], sink.counts[0] * 9 / 10) << i;
    }
}

// F1 and Shift+F1 answer with the view kind's context (the two-variable Projected Orbit with its
// twins' one) and each view loads its kind's toolbar.
TEST(Orbit2DView, HelpAndToolbarByKind)
{
    for (Plane plane : {Plane::Section, Plane::Orbit})
        for (SystemKind kind : kPlaneKinds) {
            PlaneHarness h(plane, kind);
            EXPECT_EQ(h.view->SendMessage(WM_HELPHITTEST),
                      plane == Plane::Section ? 0x18009 : 0x18005);
            EXPECT_EQ(h.view->KindEntry().toolBar, IDR_SYS1TYPE + static_cast<UINT>(kind));
        }
}

// A live run's pens are made once for each style and kept while the style stays.
TEST(Orbit2DView, LivePensAreMadeOncePerStyle)
{
    CLiveCanvas live;
    CPen* orbit = &live.Pen(PS_SOLID, 1, kOrbit);
    CPen* marks = &live.Pen(PS_SOLID, 3, kMarks);
    for (int row = 0; row < 100; ++row) {
        EXPECT_EQ(&live.Pen(PS_SOLID, 1, kOrbit), orbit);
        EXPECT_EQ(&live.Pen(PS_SOLID, 3, kMarks), marks);
    }
    CPen& dashed = live.Pen(PS_DASH, 1, kOrbit);
    EXPECT_NE(&dashed, orbit);
    EXPECT_EQ(dashed.m_nStyle, PS_DASH);
    EXPECT_EQ(dashed.m_color, kOrbit);
}
