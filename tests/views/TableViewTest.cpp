// The Data Table view over a test model: pages and their buttons, go-to row, a wrapped ring,
// captions, the open-view count, row details and printing.
#include "TableHarness.h"
#include "common/MessageRecorder.h"

#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(TableView, PagesAndTheirButtons)
{
    TableHarness h(SystemKind::TwoVariable, 1000, 120);
    CTableView& v = *h.view;
    struct Step
    {
        void (CTableView::*action)(); // null: the state after the refresh
        int page, lines, selected, firstRow;
        bool up, down;
    };
    const Step steps[] = {
        {nullptr, 0, 50, 0, 0, false, true},
        {&CTableView::OnPageDown, 1, 50, 0, 50, true, true},
        {&CTableView::OnPageDown, 2, 20, 0, 100, true, false},
        {&CTableView::OnPageDown, 2, 20, 0, 100, true, false}, // nothing past the last page
        {&CTableView::OnPageUp, 1, 50, 49, 50, true, true},    // the last line of page 2
        {&CTableView::OnPageUp, 0, 50, 49, 0, false, true},
        {&CTableView::OnPageUp, 0, 50, 49, 0, false, true},
    };
    for (const Step& s : steps) {
        if (s.action)
            (v.*s.action)();
        EXPECT_EQ(v.m_nPage, s.page);
        EXPECT_EQ(h.Lines(), s.lines);
        EXPECT_EQ(h.Selected(), s.selected);
        EXPECT_EQ(h.RowAt(0), s.firstRow);
        EXPECT_EQ(v.m_btnUp->isEnabled(), s.up);
        EXPECT_EQ(v.m_btnDown->isEnabled(), s.down);
    }
    // Any update brings page 1 back.
    h.Update();
    EXPECT_EQ(v.m_nPage, 0);
}

TEST(TableView, GoToRow)
{
    TableHarness h(SystemKind::ThreeVariable, 1000, 300);
    struct Case
    {
        WPARAM row;
        int page, selected;
    };
    const Case cases[] = {
        {175, 3, 25}, {0, 0, 0}, {299, 5, 49}, {100000, 5, 49}, // past the end: the last row
    };
    for (const Case& c : cases) {
        h.view->SendMessage(WM_TABLE_GOTO_ROW, c.row, 0);
        QApplication::processEvents();
        EXPECT_EQ(h.view->m_nPage, c.page) << c.row;
        EXPECT_EQ(h.Selected(), c.selected) << c.row;
        EXPECT_EQ(h.RowAt(c.selected), c.page * 50 + c.selected) << c.row;
    }
    // The selected line stands at the top as far as the list scrolls.
    h.view->SendMessage(WM_TABLE_GOTO_ROW, 175, 0);
    QApplication::processEvents();
    const int visible = h.view->m_list->viewport()->height() / h.view->m_list->sizeHintForRow(0);
    EXPECT_EQ(h.TopLine(), std::min(25, 50 - visible)) << visible;

    // An empty table ignores the row.
    TableHarness empty(SystemKind::ThreeVariable, 1000, 0);
    empty.view->SendMessage(WM_TABLE_GOTO_ROW, 175, 0);
    EXPECT_EQ(empty.view->m_nPage, 0);
    EXPECT_EQ(empty.Lines(), 0);
}

TEST(TableView, AWrappedRingReadsFromItsOldestRowAcrossItsEnd)
{
    TableHarness h(SystemKind::Newtonian, 120, 300); // the ring holds rows 180 to 299
    EXPECT_EQ(h.view->m_nLastPage, 2);
    std::vector<int> shown;
    for (int p = 0; p <= 2; ++p, h.view->OnPageDown())
        for (int i = 0; i < h.Lines(); ++i)
            shown.push_back(h.RowAt(i));
    ASSERT_EQ(shown.size(), 120u);
    for (int i = 0; i < 120; ++i)
        EXPECT_EQ(shown[i], 180 + i);
}

TEST(TableView, ImportedRowsDoNotWrapAndCaptionsSayWhatIsShown)
{
    struct Case
    {
        SystemKind kind;
        int source;
        const char* caption;
    };
    const Case cases[] = {
        {SystemKind::Newtonian, 1, "run.ns1 Data Table(Imported)  Page 1"},
        {SystemKind::TwoVariable, 1, "run.ns1 Data Table(Imported) Page 1"},
        {SystemKind::ThreeVariable, 0, "run.ns1 Data Table Page 1"},
    };
    for (const Case& c : cases) {
        TableHarness h(c.kind, 30, 10);
        h.doc->m_strFileName = "run.ns1";
        h.doc->m_nImportRows = 70; // more than the ring holds
        for (auto& column : h.doc->m_arrImport)
            column.assign(70, 1.0);
        h.doc->m_bHaveImport = 1;
        h.doc->m_nTableSource = c.source;
        h.Update();
        EXPECT_EQ(h.view->Caption(0), c.caption);
        EXPECT_EQ(h.view->m_nLastPage, c.source == 1 ? 1 : 0);
    }
}

TEST(TableView, CountsItselfAndRegistersItsWindow)
{
    auto h = std::make_unique<TableHarness>(SystemKind::TwoVariable, 1000, 10);
    CGraphTestDoc* doc = h->doc.get();
    EXPECT_EQ(doc->m_nOpenViews[1], 1);
    EXPECT_EQ(doc->TableViewWindow(), h->view->GetSafeHwnd());
    h->view->DestroyWindow();
    h->view = nullptr;
    EXPECT_EQ(doc->m_nOpenViews[1], 0);
    EXPECT_EQ(doc->TableViewWindow(), nullptr);
}

TEST(TableView, ReadsNothingWhileTheModelRuns)
{
    TableHarness h(SystemKind::OneVariable, 1000, 120);
    h.view->OnPageDown();
    h.doc->m_bRunning = 1;
    h.Fill(1000, 7);
    h.Update();
    EXPECT_EQ(h.view->m_nPage, 1);
    h.doc->m_bRunning = 0;
    h.Update(); // the run's end
    EXPECT_EQ(h.view->m_nPage, 0);
    EXPECT_EQ(h.Lines(), 7);
}

TEST(TableView, NewtonianRowDetailsShowTheForces)
{
    TableHarness h(SystemKind::Newtonian, 1000, 120);
    h.doc->m_strAppliedForce = "2*x";
    h.doc->m_strRestoringForce = "t";
    h.doc->m_strDragForce = "x:"; // the delayed x: the row before, or the row itself at row 0
    h.view->OnPageDown();
    for (auto [line, x, delayed] : {std::tuple{0, 50, 49}, std::tuple{49, 99, 98}}) {
        MessageRecorder boxes;
        h.view->ShowRowDetails(line);
        ASSERT_EQ(boxes.messages.size(), 1u);
        const std::string& text = boxes.messages[0];
        EXPECT_NE(text.find("The displacement x = " + FormatG6(x) + "."), std::string::npos);
        EXPECT_NE(text.find("The applied force = " + FormatG6(2 * x) + "."), std::string::npos);
        EXPECT_NE(text.find("The drag force = " + FormatG6(delayed) + "."), std::string::npos)
            << text;
    }
    h.view->OnPageUp();
    MessageRecorder boxes;
    h.view->ShowRowDetails(0);
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_NE(boxes.messages[0].find("The drag force = 0."), std::string::npos);

    // Other kinds and imported data show nothing.
    TableHarness two(SystemKind::TwoVariable, 1000, 10);
    MessageRecorder none;
    two.view->m_list->itemDoubleClicked(two.view->m_list->item(0));
    EXPECT_TRUE(none.messages.empty());
}

// The Print button prints the page on screen, File/Print every page; the last page only its
// own rows.
TEST(TableView, PrintsOnePageOrAll)
{
    TableHarness h(SystemKind::TwoVariable, 1000, 120);
    QTemporaryDir dir;
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    auto pages = [&](bool direct) {
        const QString path = dir.filePath(direct ? "direct.pdf" : "all.pdf");
        printer.setOutputFileName(path);
        CPrintInfo info;
        info.m_bDirect = direct;
        info.m_bPreview = !direct;
        info.m_pPrinter = &printer;
        EXPECT_TRUE(h.view->OnPreparePrinting(&info));
        h.view->PrintPages(&printer, &info);
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        // Qt writes one page object per sheet.
        return std::make_tuple(info.GetMinPage(), info.GetMaxPage(),
                               f.readAll().count("/Type /Page\n"));
    };
    h.view->OnPageDown();
    const auto [minDirect, maxDirect, sheetsDirect] = pages(true);
    EXPECT_EQ(minDirect, 2u);
    EXPECT_EQ(maxDirect, 2u);
    const auto [minAll, maxAll, sheetsAll] = pages(false);
    EXPECT_EQ(minAll, 1u);
    EXPECT_EQ(maxAll, 3u);
    EXPECT_EQ(sheetsAll, 3 * sheetsDirect);
}

} // namespace
