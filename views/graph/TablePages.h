#pragma once
// What a Data Table view shows, without a display: its columns and their digits, the heading,
// the rows it walks (the run's ring from its oldest row, or the imported table), the pages of
// 50 rows and the text of a row. The screen and the printer read the same texts. No Qt here.
#include "model/core/ModelCore.h"
#include "model/core/VarSlot.h"

#include <array>
#include <string>
#include <vector>

// A shown column: its data slot and the digits its values are rounded to.
struct TableColumn
{
    VarSlot slot;
    int digits;
};

// The kind's shown columns, time first, then the values in the kind's order (values before
// rates, x before y before z), with digits from the chronon and the run's extents.
std::vector<TableColumn> ShownTableColumns(SystemKind kind, const CModelSettings& s);
// "|  time   |     x      |     x'     |" ...
std::string TableHeading(const std::vector<TableColumn>& columns);

using TableData = std::array<std::vector<double>, kSlots>;

// The rows a table walks: table row k is data index first + k, wrapped at wrapAt (the ring's
// length) for a run's rows; imported rows do not wrap (wrapAt 0).
struct TableRows
{
    const TableData* data = nullptr;
    int first = 0;
    int count = 0;
    int wrapAt = 0;

    int DataIndex(int row) const
    {
        const int i = first + row;
        return wrapAt > 0 && i >= wrapAt ? i - wrapAt : i;
    }
};

// The run's rows as the ring gives them, or the imported rows. A table whose columns do not
// hold the rows it names has none.
TableRows ComputedRows(const CModelCore& core, const TableRing& ring,
                       const std::vector<TableColumn>& columns);
TableRows ImportedRows(const CModelCore& core, const std::vector<TableColumn>& columns);

// Pages of rowsPerPage rows over count rows.
struct TablePaging
{
    int count = 0;
    int rowsPerPage = 50;

    int LastPage() const { return count > 0 ? (count - 1) / rowsPerPage : 0; }
    int LastPageRows() const { return count % rowsPerPage; }
    // Rows on the page: all but on the last page, none past it or in an empty table.
    int RowsOn(int page) const;
};

// One row's text: the time (no sign, width 9), then each value (signed, width 12), each ended
// by "|"; a printed row begins with "|" too.
std::string TableRowText(const TableRows& rows, int row, const std::vector<TableColumn>& columns,
                         bool printed = false);
