// Exports taken while a continued run wraps a short ring: each file holds the ring from its
// oldest row, in time order, and the copy meets the run's writes only under the table lock
// (ThreadSanitizer checks). The file's times carry six digits, so once a fast run is past
// t = 1000 neighbouring rows can print alike; a row out of order still shows as a drop.
#include "ModelFixture.h"

#include "platform/WinApp.h"

#include <fstream>
#include <sstream>

TEST_F(ModelTest, ExportsDuringARunThatWrapsTheRing)
{
    CDynSys* doc = NewDoc(SystemKind::OneVariable);
    ASSERT_NE(doc, nullptr);
    doc->m_nTableRows = 30;
    doc->m_dRunTimeLimit = 1e6;
    doc->m_bPlotConcurrent = 0;
    doc->m_bPlotPostCalc = 1;
    doc->OnControlsRun(); // a first stretch that wraps the ring, stopped
    ASSERT_TRUE(PumpUntil([&] { return CTableReadLock(*doc).Ring().count > 40; }));
    doc->OnControlsStop();
    ASSERT_TRUE(PumpUntil([&] { return !Running(doc); }));
    doc->OnControlsRun(); // continues while the exports copy the ring
    ASSERT_TRUE(Running(doc));
    const std::string path = ::testing::TempDir() + "during-run.d1d";
    const FileDialogHook old = SetFileDialogHook([&](bool, const std::string&) { return path; });
    for (int pass = 0; pass < 20 && Running(doc); ++pass) {
        ASSERT_TRUE(doc->ExportData());
        ASSERT_TRUE(PumpUntil([&] { return doc->m_pExpThread->Finished(); }));
        std::ifstream f(path, std::ios::binary);
        std::string line;
        for (int i = 0; i < 8; ++i)
            std::getline(f, line);
        int rows = 0;
        double first = -1, last = -1;
        while (std::getline(f, line)) {
            ASSERT_EQ(line.back(), '\r');
            const double t = std::stod(line);
            EXPECT_GE(t, last) << "row " << rows;
            if (rows == 0)
                first = t;
            last = t;
            ++rows;
        }
        EXPECT_EQ(rows, 30);
        EXPECT_LT(first, last);
    }
    SetFileDialogHook(old);
    doc->OnControlsStop();
    ASSERT_TRUE(PumpUntil([&] { return !Running(doc); }));
    doc->OnCloseDocument();
}
