#include "views/rows/CursorSteps.h"

#include <algorithm>

int CursorRows::ComputedRows() const
{
    if (!haveData || tableRows <= 0)
        return 0;
    return wrapped ? tableRows
                   : static_cast<int>(std::clamp<std::int64_t>(tableCount, 0, tableRows));
}

int CursorRows::ImportedRows() const
{
    return haveImport ? std::max(importRows, 0) : 0;
}

namespace {
int Rows(const RowCursor& c, const CursorRows& rows)
{
    return c.source == 1 ? rows.ImportedRows() : rows.ComputedRows();
}

// Past either end of n rows: Up to row 0, Down to the last row.
int ArrayStep(int row, int step, int n, bool up)
{
    row += up ? step : -step;
    if (up && row >= n)
        return 0;
    if (!up && row < 0)
        return n - 1;
    return row;
}

// A wrapped ring goes round from the newest row (before the oldest) to the oldest.
int RingStep(int row, int step, const CursorRows& rows, bool up)
{
    row += up ? step : -step;
    if (up && row >= rows.tableRows)
        return rows.tableIndex;
    if (!up && row < 0)
        return rows.tableIndex > 0 ? rows.tableIndex - 1 : rows.tableRows - 1;
    return row;
}

// A wrapped ring's section rows: a step that crosses the write position goes to the first (Up)
// or last (Down) section row instead.
int WrappedSectionStep(int row, const CursorRows& rows, SectionCursor& sc, bool up)
{
    const int index = rows.tableIndex;
    row += up ? sc.stride : -sc.stride;
    if (up) {
        if (row < rows.tableRows) {
            if (index < row && sc.current < index)
                row = sc.first;
        } else {
            row -= rows.tableRows;
            if (index < row)
                row = sc.first;
        }
    } else if (row < 0) {
        row += rows.tableRows;
        if (row < index)
            row = sc.last;
    } else if (row < index && index < sc.current) {
        row = sc.last;
    }
    sc.current = row;
    return row;
}

// Unwrapped rows: Up past the end to row 0, Down below 0 to the last section row.
int SectionStep(int row, int stride, int n, bool up)
{
    row += up ? stride : -stride;
    if (up && row >= n)
        return 0;
    if (!up && row < 0) {
        row += (n + stride - 1) / stride * stride;
        while (row >= n && row >= stride)
            row -= stride;
    }
    return row;
}

int Step(const RowCursor& c, const CursorRows& rows, CursorWrap wrap, SectionCursor* section,
         bool up)
{
    const int n = Rows(c, rows);
    const bool ring = c.source == 0 && rows.wrapped;
    switch (wrap) {
    case CursorWrap::Ring:
        return ring ? RingStep(c.row, c.step, rows, up) : ArrayStep(c.row, c.step, n, up);
    case CursorWrap::Section:
        if (ring)
            return WrappedSectionStep(c.row, rows, *section, up);
        return SectionStep(c.row, section->stride, n, up);
    default:
        return ArrayStep(c.row, c.step, n, up);
    }
}
} // namespace

bool StepCursor(RowCursor& c, CursorKey key, const CursorRows& rows, CursorWrap wrap,
                SectionCursor* section)
{
    if (wrap == CursorWrap::None || (wrap == CursorWrap::Section && !section))
        return false;
    if (rows.ComputedRows() == 0 && rows.ImportedRows() == 0)
        return false;
    if (wrap == CursorWrap::Section) {
        section->stride = std::max(section->stride, 1);
        c.step = section->stride;
    }
    switch (key) {
    case CursorKey::ShiftDown:
    case CursorKey::ShiftUp:
        if (wrap != CursorWrap::Section)
            c.step = key == CursorKey::ShiftDown ? 10 : 1;
        return false;
    case CursorKey::Computed:
        if (rows.ComputedRows() > 0)
            c = {rows.tableIndex, 0, c.step};
        break;
    case CursorKey::Imported:
        if (rows.ImportedRows() > 0)
            c = {0, 1, c.step};
        break;
    case CursorKey::Up:
    case CursorKey::Down:
        KeepCursorInside(c, rows);
        c.row = Step(c, rows, wrap, section, key == CursorKey::Up);
        break;
    case CursorKey::Other:
        return false;
    }
    KeepCursorInside(c, rows);
    return true;
}

void CursorToOldest(RowCursor& c, const CursorRows& rows)
{
    c.row = rows.tableIndex;
    KeepCursorInside(c, rows);
}

void KeepCursorInside(RowCursor& c, const CursorRows& rows)
{
    if (c.source == 1 && rows.ImportedRows() == 0)
        c = {rows.tableIndex, 0, c.step};
    else if (c.source != 1 && rows.ComputedRows() == 0 && rows.ImportedRows() > 0)
        c = {0, 1, c.step};
    const int n = Rows(c, rows);
    if (c.row < 0 || c.row >= n)
        c.row = c.source == 0 && rows.tableIndex < n ? std::max(rows.tableIndex, 0) : 0;
}
