// What a Data Table shows, without a display: pages, the rows a page walks, headings and the
// text of a row.
#include "views/graph/TablePages.h"
#include "model/core/ModelCore.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

TEST(TablePages, PagesOfFiftyRows)
{
    struct Case
    {
        int count, lastPage, lastPageRows;
        std::vector<int> rowsOnPages; // pages 0, 1, ...
    };
    const Case cases[] = {
        {120, 2, 20, {50, 50, 20, 0}},
        {100, 1, 0, {50, 50, 0}}, // a full last page
        {50, 0, 0, {50, 0}},
        {1, 0, 1, {1, 0}},
        {0, 0, 0, {0, 0}}, // an empty table shows an empty page
    };
    for (const Case& c : cases) {
        const TablePaging p{c.count};
        EXPECT_EQ(p.LastPage(), c.lastPage) << c.count;
        EXPECT_EQ(p.LastPageRows(), c.lastPageRows) << c.count;
        for (std::size_t page = 0; page < c.rowsOnPages.size(); ++page)
            EXPECT_EQ(p.RowsOn(static_cast<int>(page)), c.rowsOnPages[page])
                << c.count << " rows, page " << page;
        EXPECT_EQ(p.RowsOn(-1), 0);
    }
}

TEST(TablePages, RowsWalkTheRingFromItsOldestRow)
{
    CModelCore core(SystemKind::OneVariable);
    core.m_nTableRows = 10;
    for (auto& column : core.m_arrTable)
        column.assign(10, 0.0);
    core.m_nImportRows = 25;
    for (auto& column : core.m_arrImport)
        column.assign(25, 0.0);
    const auto columns = ShownTableColumns(SystemKind::OneVariable, core);
    struct Case
    {
        TableRing ring;
        int count;
        std::vector<std::pair<int, int>> rowToIndex;
    };
    const Case cases[] = {
        {{0, 7, false}, 7, {{0, 0}, {6, 6}}},
        {{4, 24, true}, 10, {{0, 4}, {5, 9}, {6, 0}, {9, 3}}}, // across the ring's end
        {{0, 10, true}, 10, {{0, 0}, {9, 9}}},
        {{10, 3, false}, 0, {}}, // a ring position outside the ring reads nothing
        {{7, (RowCount{1} << 31) + 7, true}, 10, {{0, 7}, {3, 0}}}, // a run of billions of rows
        {{2, (RowCount{1} << 32) + 2, false}, 10, {{0, 2}, {9, 1}}},
    };
    for (const Case& c : cases) {
        const TableRows rows = ComputedRows(core, c.ring, columns);
        EXPECT_EQ(rows.count, c.count) << c.ring.index << " " << c.ring.count;
        for (auto [row, index] : c.rowToIndex)
            EXPECT_EQ(rows.DataIndex(row), index) << row;
    }
    // Imported rows never wrap at the ring's length.
    const TableRows imported = ImportedRows(core, columns);
    EXPECT_EQ(imported.count, 25);
    EXPECT_EQ(imported.DataIndex(24), 24);
    // Columns shorter than the rows they should hold give no rows.
    core.m_arrImport[kSlotXp].resize(24);
    EXPECT_EQ(ImportedRows(core, columns).count, 0);
    core.m_arrTable[kSlotX].clear();
    EXPECT_EQ(ComputedRows(core, {0, 5, false}, columns).count, 0);
}

TEST(TablePages, HeadingsFollowTheKindAndItsColumnFlags)
{
    struct Case
    {
        SystemKind kind;
        BOOL CModelSettings::*off; // a column switched off, or null
        const char* heading;
    };
    const Case cases[] = {
        {SystemKind::Newtonian, nullptr, "|  time   |     x      |     x'     |     x''    |"},
        {SystemKind::OneVariable, nullptr, "|  time   |     x      |     x'     |"},
        {SystemKind::TwoVariable, nullptr,
         "|  time   |     x      |     y      |     x'     |     y'     |"},
        {SystemKind::ThreeVariable, nullptr,
         "|  time   |     x      |     y      |     z      |     x'     |     y'     |     z'  "
         "   |"},
        {SystemKind::TwoVariable, &CModelSettings::m_bTabXp,
         "|  time   |     x      |     y      |     y'     |"},
    };
    for (const Case& c : cases) {
        CModelSettings s;
        if (c.off)
            s.*c.off = 0;
        EXPECT_EQ(TableHeading(ShownTableColumns(c.kind, s)), c.heading);
    }
}

TEST(TablePages, ColumnDigitsComeFromTheStepAndTheExtents)
{
    CModelSettings s;
    s.m_dChronon = 0.0628;
    s.m_dMinX = -1;
    s.m_dMaxX = 999;             // a range of 1000
    s.m_dMinXp = s.m_dMaxXp = 2; // a constant column
    const auto columns = ShownTableColumns(SystemKind::OneVariable, s);
    ASSERT_EQ(columns.size(), 3u);
    EXPECT_EQ(columns[0].digits, 6); // 4 - trunc(ln 0.0628)
    EXPECT_EQ(columns[1].digits, 2);
    EXPECT_EQ(columns[2].digits, 5); // no range: counted as 1
}

TEST(TablePages, RowTextsOfAFewValues)
{
    struct Case
    {
        double t, x;
        int tDigits, xDigits;
        const char* screen;
    };
    const double dt = 2 * std::numbers::pi / 100;
    const Case cases[] = {
        {dt, 3.14159265, 5, 4, "0.06283  |+3.1416     |"},
        {0, -0.5, 5, 4, "0        |-0.5        |"},
        {1, 0, 5, 4, "1        |+0          |"},
        {1, 12345678, 5, 4, "1        |+1.235e+007 |"},
        {1, -12345678, 5, 4, "1        |-1.235e+007 |"},
        {1234.5, 1e-9, 2, 4, "1234.5   |+0          |"},
    };
    for (const Case& c : cases) {
        TableData data;
        data[kSlotT] = {c.t};
        data[kSlotX] = {c.x};
        const TableRows rows{&data, 0, 1, 0};
        const std::vector<TableColumn> columns{{kSlotT, c.tDigits}, {kSlotX, c.xDigits}};
        EXPECT_EQ(TableRowText(rows, 0, columns), c.screen) << c.x;
        EXPECT_EQ(TableRowText(rows, 0, columns, true), std::string("|") + c.screen);
        EXPECT_EQ(TableRowText(rows, 1, columns), ""); // past the stored rows
    }
}

} // namespace
