#include "views/graph/TablePages.h"

#include "model/core/KindVars.h"
#include "model/core/NumberText.h"
#include "views/graph/GraphKinds.h"
#include "views/rows/PlotText.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr int kTimeWidth = 9;
constexpr int kValueWidth = 12;

// Whether every shown column holds at least n values.
bool Holds(const TableData& data, const std::vector<TableColumn>& columns, int n)
{
    return std::all_of(columns.begin(), columns.end(), [&](const TableColumn& c) {
        return data[c.slot].size() >= static_cast<std::size_t>(n);
    });
}
} // namespace

std::vector<TableColumn> ShownTableColumns(SystemKind kind, const CModelSettings& s)
{
    std::vector<TableColumn> columns{{kSlotT, DigitsForTableTime(s.m_dChronon)}};
    for (VarSlot slot : KindInfo(kind).curves) {
        const VarInfo& v = VarOf(slot);
        if (s.*v.table)
            columns.push_back({slot, DigitsForTableColumn(s.*v.max - s.*v.min)});
    }
    return columns;
}

std::string TableHeading(const std::vector<TableColumn>& columns)
{
    std::string text;
    for (const TableColumn& c : columns) {
        if (c.slot == kSlotT) {
            text += "|  time   |";
            continue;
        }
        std::string name = VarOf(c.slot).name;
        name.resize(7, ' ');
        text += "     " + name + "|";
    }
    return text;
}

TableRows ComputedRows(const CModelCore& core, const TableRing& ring,
                       const std::vector<TableColumn>& columns)
{
    const int rows = core.m_nTableRows;
    // The rows the ring holds: the count (64-bit, it grows with run time) capped at its length.
    const RowCount held = ring.wrapped ? rows : std::min<RowCount>(ring.count, std::max(rows, 0));
    TableRows r{&core.m_arrTable, ring.index, static_cast<int>(std::max<RowCount>(held, 0)), rows};
    if (rows <= 0 || ring.index < 0 || ring.index >= rows || ring.count < 0 ||
        !Holds(core.m_arrTable, columns, rows))
        r.count = 0;
    return r;
}

TableRows ImportedRows(const CModelCore& core, const std::vector<TableColumn>& columns)
{
    TableRows r{&core.m_arrImport, 0, core.m_nImportRows, 0};
    if (r.count < 0 || !Holds(core.m_arrImport, columns, r.count))
        r.count = 0;
    return r;
}

int TablePaging::RowsOn(int page) const
{
    if (count <= 0 || page < 0 || page > LastPage())
        return 0;
    return page == LastPage() && LastPageRows() != 0 ? LastPageRows() : rowsPerPage;
}

std::string TableRowText(const TableRows& rows, int row, const std::vector<TableColumn>& columns,
                         bool printed)
{
    std::string text = printed ? "|" : "";
    if (!rows.data || row < 0 || row >= rows.count)
        return text;
    const int i = rows.DataIndex(row);
    char cell[std::max(kValueWidth, 13) + 1];
    for (const TableColumn& c : columns) {
        const bool time = c.slot == kSlotT;
        FormatTableValue(cell, (*rows.data)[c.slot][i], c.digits, time ? 0 : 1,
                         time ? kTimeWidth : kValueWidth);
        text += cell;
        text += '|';
    }
    return text;
}
