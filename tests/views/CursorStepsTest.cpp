// The keyboard cursor's steps over the computed ring and the imported rows: the keys at both
// ends of each source, Shift, the section stride, and a source that never points past its rows.
#include "views/rows/CursorSteps.h"

#include <gtest/gtest.h>

namespace {
using K = CursorKey;
using W = CursorWrap;

CursorRows Unwrapped(int count, int importRows = 0)
{
    return {1000, 0, count, false, count > 0, importRows, importRows > 0};
}
CursorRows Wrapped(int ring, int index, int importRows = 0)
{
    return {ring, index, 5 * ring + index, true, true, importRows, importRows > 0};
}
} // namespace

TEST(CursorSteps, KeysMoveTheCursorInsideItsSource)
{
    const struct
    {
        const char* name;
        CursorRows rows;
        W wrap;
        RowCursor start;
        K key;
        RowCursor want;
    } cases[] = {
        {"up past the last row", Unwrapped(50), W::Array, {49, 0, 1}, K::Up, {0, 0, 1}},
        {"down below row 0", Unwrapped(50), W::Array, {0, 0, 1}, K::Down, {49, 0, 1}},
        {"shift step past the end", Unwrapped(50), W::Array, {45, 0, 10}, K::Up, {0, 0, 10}},
        {"shift step inside", Unwrapped(50), W::Array, {5, 0, 10}, K::Up, {15, 0, 10}},
        {"array ring up", Wrapped(100, 30), W::Array, {99, 0, 1}, K::Up, {0, 0, 1}},
        {"array ring down", Wrapped(100, 30), W::Array, {0, 0, 1}, K::Down, {99, 0, 1}},
        {"ring up to the oldest", Wrapped(100, 30), W::Ring, {99, 0, 1}, K::Up, {30, 0, 1}},
        {"ring down to the newest", Wrapped(100, 30), W::Ring, {0, 0, 1}, K::Down, {29, 0, 1}},
        {"ring down, index 0", Wrapped(100, 0), W::Ring, {0, 0, 1}, K::Down, {99, 0, 1}},
        {"ring rule, unwrapped", Unwrapped(50), W::Ring, {49, 0, 1}, K::Up, {0, 0, 1}},
        {"imported up", Unwrapped(50, 20), W::Array, {19, 1, 1}, K::Up, {0, 1, 1}},
        {"imported down", Unwrapped(50, 20), W::Array, {0, 1, 1}, K::Down, {19, 1, 1}},
        {"G goes to the oldest row",
         Wrapped(100, 30, 20),
         W::Array,
         {5, 1, 1},
         K::Computed,
         {30, 0, 1}},
        {"I goes to imported row 0",
         Wrapped(100, 30, 20),
         W::Array,
         {50, 0, 1},
         K::Imported,
         {0, 1, 1}},
        {"G without computed rows", Unwrapped(0, 20), W::Array, {7, 1, 1}, K::Computed, {7, 1, 1}},
        {"I without imported rows", Unwrapped(50), W::Array, {7, 0, 1}, K::Imported, {7, 0, 1}},
        {"computed without rows walks the import",
         Unwrapped(0, 20),
         W::Array,
         {0, 0, 1},
         K::Down,
         {19, 1, 1}},
        {"imported beyond its rows", Unwrapped(50, 20), W::Array, {30, 1, 1}, K::Up, {1, 1, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RowCursor cur = c.start;
        EXPECT_TRUE(StepCursor(cur, c.key, c.rows, c.wrap));
        EXPECT_EQ(cur.row, c.want.row);
        EXPECT_EQ(cur.source, c.want.source);
        EXPECT_EQ(cur.step, c.want.step);
    }
}

// Ten rows a period (c/c 100, interval 10): the unwrapped rows and the imported rows end on
// their last section row; in a wrapped ring whose oldest row is 35, with the section rows at
// 40, 50, ... 90, 0, ... 30, a step across the write position goes to the first or last one.
TEST(CursorSteps, SectionCursorStepsByPeriods)
{
    const struct
    {
        const char* name;
        CursorRows rows;
        RowCursor start;
        int current;
        K key;
        int want;
    } cases[] = {
        {"95 rows: down from 0", Unwrapped(95), {0, 0, 1}, 0, K::Down, 90},
        {"95 rows: up from 90", Unwrapped(95), {90, 0, 1}, 90, K::Up, 0},
        {"90 rows: down from 0", Unwrapped(90), {0, 0, 1}, 0, K::Down, 80},
        {"off-phase row stays inside", Unwrapped(95), {5, 0, 1}, 5, K::Down, 85},
        {"import of 90: down from 0", Unwrapped(0, 90), {0, 1, 1}, 0, K::Down, 80},
        {"import of 95: down from 0", Unwrapped(0, 95), {0, 1, 1}, 0, K::Down, 90},
        {"ring: up across the newest", Wrapped(100, 35), {30, 0, 1}, 30, K::Up, 40},
        {"ring: down across the oldest", Wrapped(100, 35), {40, 0, 1}, 40, K::Down, 30},
        {"ring: down below 0", Wrapped(100, 35), {0, 0, 1}, 0, K::Down, 90},
        {"ring: up past the end", Wrapped(100, 35), {90, 0, 1}, 90, K::Up, 0},
        {"ring: inside", Wrapped(100, 35), {50, 0, 1}, 50, K::Up, 60},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SectionCursor sc{40, 30, c.current, 10};
        RowCursor cur = c.start;
        EXPECT_TRUE(StepCursor(cur, c.key, c.rows, W::Section, &sc));
        EXPECT_EQ(cur.row, c.want);
        EXPECT_EQ(cur.step, 10);
        if (c.rows.wrapped) {
            EXPECT_EQ(sc.current, c.want);
        }
    }
    RowCursor cur;
    SectionCursor sc{0, 0, 0, 0}; // a stride of 0 steps by one row
    EXPECT_TRUE(StepCursor(cur, K::Up, Unwrapped(5), W::Section, &sc));
    EXPECT_EQ(cur.row, 1);
    EXPECT_FALSE(StepCursor(cur, K::Up, Unwrapped(5), W::Section, nullptr));
}

TEST(CursorSteps, ShiftAndOtherKeys)
{
    RowCursor c{3, 0, 1};
    EXPECT_FALSE(StepCursor(c, K::ShiftDown, Unwrapped(50), W::Array));
    EXPECT_EQ(c.step, 10);
    EXPECT_FALSE(StepCursor(c, K::ShiftUp, Unwrapped(50), W::Array));
    EXPECT_EQ(c.step, 1);
    EXPECT_FALSE(StepCursor(c, K::Other, Unwrapped(50), W::Array));
    // Without rows in either source, and without a cursor, keys do nothing.
    EXPECT_FALSE(StepCursor(c, K::Up, Unwrapped(0), W::Array));
    EXPECT_FALSE(StepCursor(c, K::Up, Unwrapped(50), W::None));
    EXPECT_EQ(c.row, 3);
}

// Every update puts the cursor back on the oldest computed row; a cursor on imported rows keeps
// its source but never lands past them.
TEST(CursorSteps, UpdatesKeepTheSourcesRows)
{
    const struct
    {
        CursorRows rows;
        RowCursor start;
        RowCursor want;
    } cases[] = {
        {Wrapped(100, 30, 20), {5, 0, 1}, {30, 0, 1}},
        {Wrapped(100, 30, 20), {5, 1, 1}, {0, 1, 1}},  // row 30 is past the 20 imported rows
        {Wrapped(100, 30, 50), {5, 1, 1}, {30, 1, 1}}, // the oldest row's number exists there
        {Wrapped(100, 30), {5, 1, 1}, {30, 0, 1}},     // no imported rows any more
        {Unwrapped(0, 20), {5, 0, 1}, {0, 1, 1}},      // no computed rows
        {Unwrapped(0), {5, 1, 1}, {0, 0, 1}},          // no rows at all
    };
    for (const auto& c : cases) {
        RowCursor cur = c.start;
        CursorToOldest(cur, c.rows);
        EXPECT_EQ(cur.row, c.want.row);
        EXPECT_EQ(cur.source, c.want.source);
    }
}
