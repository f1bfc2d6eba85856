// The data-entry window: placement by document number, caption, tool window, its edit.
#include "dataentry/DataEntry.h"

#include <QLineEdit>
#include <QWidget>
#include <gtest/gtest.h>

TEST(DataEntry, PlacedByDocumentNumber)
{
    struct Case
    {
        int n, width, fontHeight;
        CRect expected;
    };
    const Case cases[] = {
        {1, 1000, 20, CRect(730, 45, 940, 65)},
        {2, 1000, 20, CRect(720, 50, 930, 70)}, // 5 lower, 10 further left
        {3, 800, 16, CRect(510, 55, 720, 71)},
        {1, 1000, 0, CRect(730, 45, 940, 77)}, // no font known: 32 pixels
    };
    for (const Case& c : cases)
        EXPECT_EQ(CDataEntry::PlaceFor(c.n, c.width, c.fontHeight), c.expected) << c.n;
}

TEST(DataEntry, CaptionedToolWindowWithItsEdit)
{
    auto* entry = new CDataEntry(nullptr, SystemKind::TwoVariable);
    ASSERT_TRUE(entry->CreateEntry("DS2-1 Set name=value", CRect(100, 50, 300, 70), nullptr));
    const HWND h = entry->GetSafeHwnd();
    EXPECT_EQ(entry->GetWindowText(), "DS2-1 Set name=value");
    EXPECT_TRUE(entry->IsWindowVisible());
    const Qt::WindowFlags flags = entry->GetFrameWidget()->windowFlags();
    EXPECT_TRUE(flags & Qt::Tool);
    EXPECT_FALSE(flags & Qt::WindowCloseButtonHint);
    ASSERT_NE(entry->Edit().GetEdit(), nullptr);
    EXPECT_EQ(entry->Edit().GetEdit()->objectName(), "2001");
    EXPECT_EQ(entry->Edit().m_nKind, SystemKind::TwoVariable);
    entry->ShowWindow(SW_HIDE);
    EXPECT_FALSE(entry->IsWindowVisible());
    entry->EnableWindow(FALSE);
    EXPECT_FALSE(entry->IsWindowEnabled());
    entry->DestroyWindow(); // the object goes with its window
    EXPECT_FALSE(IsWindow(h));
}
