#pragma once
// The keyboard cursor of the orbit views without a window: the row it marks, the source it walks
// (0 the run's ring, 1 the imported rows) and the rows one Up or Down moves, and how each key
// moves it inside its source. Whatever the keys and the updates do, the cursor's row is one its
// source has (or 0 when neither source has a row). No Qt here.
#include <cstdint>

struct RowCursor
{
    int row = 0;
    int source = 0; // 0 computed, 1 imported
    int step = 1;
};

// The rows the cursor may walk.
struct CursorRows
{
    int tableRows = 0;           // the ring's length
    int tableIndex = 0;          // the oldest row once wrapped, else 0
    std::int64_t tableCount = 0; // rows stored (not capped at the ring's length)
    bool wrapped = false;
    bool haveData = false;
    int importRows = 0;
    bool haveImport = false;

    int ComputedRows() const;
    int ImportedRows() const;
};

// How Up and Down go round at the ends of the rows.
enum class CursorWrap
{
    None,    // the view has no keyboard cursor
    Array,   // past the last row to row 0, below row 0 to the last row
    Ring,    // as Array, but a wrapped ring goes round from its newest row to its oldest
    Section, // one forcing period a step, between the first and the last section rows
};

// The section rows a Section cursor keeps to: the first and the last row on the section phase
// of a wrapped ring, the row last reached, and the rows per forcing period.
struct SectionCursor
{
    int first = 0, last = 0, current = 0;
    int stride = 1;
};

enum class CursorKey
{
    Up,
    Down,
    Computed, // 'G'
    Imported, // 'I'
    ShiftDown,
    ShiftUp,
    Other,
};

// Moves the cursor by a key; true when the view draws it again (Up, Down, 'G', 'I'). Nothing
// happens without rows in either source. section is required by CursorWrap::Section.
bool StepCursor(RowCursor& c, CursorKey key, const CursorRows& rows, CursorWrap wrap,
                SectionCursor* section = nullptr);
// After an update outside a run: the cursor on the oldest computed row, its source kept.
void CursorToOldest(RowCursor& c, const CursorRows& rows);
// A row its source has: an imported cursor beyond the imported rows goes to their row 0 (to
// the computed rows without imported ones), a computed cursor without computed rows to the
// imported rows.
void KeepCursorInside(RowCursor& c, const CursorRows& rows);
