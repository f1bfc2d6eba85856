// Data files: the exact text of an export, the reader's rules and messages, round trips.
#include "model/files/DataExport.h"
#include "model/files/DataImport.h"
#include "platform/base/Archive.h"
#include "tests/common/DecimalComma.h"
#include "tests/common/FileSizeLimit.h"
#include "tests/common/MessageRecorder.h"
#include "tests/model/core/CalcTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

const SystemKind kAllKinds[] = {SystemKind::Newtonian, SystemKind::OneVariable,
                                SystemKind::TwoVariable, SystemKind::ThreeVariable};

std::string ReadText(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

std::string TempPath(const std::string& name)
{
    return ::testing::TempDir() + name;
}

// A model of the kind after a run of a few steps from its defaults.
void ShortRun(CModelCore& m, double dSteps = 3.5)
{
    NewModel(m);
    m.m_dRunTimeLimit = dSteps * m.m_dChronon;
    CountingSink sink;
    ASSERT_NE(RunModel(m, sink), nullptr);
    m.m_bHaveData = 1;
}

ExportResult Export(const CModelCore& m, const std::string& path,
                    const std::atomic<bool>& bStop = std::atomic<bool>(false),
                    const std::function<void()>& step = {})
{
    EXPORTPARAMS p;
    EXPECT_TRUE(MakeExportParams(m, path, p));
    return WriteDataFile(p, bStop, step);
}

// The text an export of the model writes; empty when the export fails.
std::string ExportedText(const CModelCore& m)
{
    const std::string path = TempPath("export.txt");
    return Export(m, path).ok ? ReadText(path) : std::string();
}

ImportOutcome ImportText(CModelCore& m, std::string text)
{
    std::FILE* f = fmemopen(text.data(), text.size(), "rb");
    if (text.empty())
        f = std::fopen("/dev/null", "rb");
    CDataLineReader reader(f);
    const ImportOutcome outcome =
        ImportDataFile(m, reader, static_cast<long long>(text.size()), "/data/in.d2d", {});
    std::fclose(f);
    return outcome;
}

std::string Header(SystemKind kind)
{
    return std::string("\r\n\r\n") + DataKind(kind).title + "\r\n|names|\r\n";
}

TEST(DataExport, DefaultRunOfEachKindWritesTheExactText)
{
    const char* golden[] = {"default-run.dnd", "default-run.d1d", "default-run.d2d",
                            "default-run.d3d"};
    for (SystemKind kind : kAllKinds) {
        CModelCore m(kind);
        ShortRun(m);
        EXPECT_EQ(ExportedText(m),
                  ReadText(std::string(VELTRIX_TEST_DATA) + golden[static_cast<int>(kind)]))
            << golden[static_cast<int>(kind)];
    }
}

// The header and first row of a three-variable export with some columns switched off, and a
// wrapped ring written from its oldest row.
TEST(DataExport, ColumnsFollowTheFlagsAndTheRingItsOldestRow)
{
    CModelCore m(SystemKind::ThreeVariable);
    NewModel(m);
    m.m_nTableRows = 5;
    m.AllocateTable();
    for (int r = 0; r < 5; ++r)
        for (int s = 0; s < kSlots; ++s)
            if (!m.m_arrTable[s].empty())
                m.m_arrTable[s][r] = r + s / 10.0;
    m.m_nTableIndex = 3;
    m.m_nTableCount = 12;
    m.m_bTableWrapped = 1;
    m.m_bTabY = 0;
    m.m_bTabZp = 0;
    m.m_dParamA = 12345678;
    const std::string text = ExportedText(m);
    EXPECT_NE(text.find("|   time  |      x     |      z     |     x'     |     y'     |\r\n"
                        " 3         +3.1         +3.6         +3.2         +3.5         \r\n"
                        " 4         +4.1         +4.6         +4.2         +4.5         \r\n"
                        " 0         +0.1         +0.6         +0.2         +0.5         \r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("a=1.23457e+007, b=2, c=4\r\n"), std::string::npos);
}

TEST(DataExport, ProgressEveryThirtyThirdOfTheRowsAndAStopKeepsWholeLines)
{
    struct Case
    {
        int rows;
        int stopAfterSteps; // -1: never
        int steps, rowsWritten;
    };
    const Case kCases[] = {{32, -1, 0, 32},  {33, -1, 33, 33}, {100, -1, 33, 100},
                           {65, -1, 65, 65}, {99, 2, 2, 6},    {50, 0, 0, 0}};
    for (const Case& c : kCases) {
        EXPORTPARAMS p;
        p.m_bColumn[0] = true;
        p.m_strColumnName[0] = "time";
        p.m_nWidth[0] = 3;
        p.m_column[0].assign(static_cast<std::size_t>(c.rows), 1.5);
        p.m_nRows = c.rows;
        p.m_path = TempPath("progress.dnd");
        std::atomic<bool> stop(c.stopAfterSteps == 0);
        int steps = 0;
        const ExportResult r = WriteDataFile(p, stop, [&] {
            if (++steps == c.stopAfterSteps)
                stop = true;
        });
        EXPECT_TRUE(r.ok);
        EXPECT_EQ(steps, c.steps) << c.rows;
        EXPECT_EQ(r.nRowsWritten, c.rowsWritten) << c.rows;
        const std::string text = ReadText(p.m_path.Bytes());
        EXPECT_EQ(text.size(),
                  DataFileHeader(p).size() + c.rowsWritten * std::string(" 1.5 \r\n").size());
    }
}

TEST(DataExport, AFileThatCannotBeWrittenFailsWithItsPathAndLeavesTheOldOne)
{
    CModelCore m(SystemKind::OneVariable);
    ShortRun(m, 50);
    ExportResult r = Export(m, "/nonexistent-folder/out.d1d");
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.strError.find("/nonexistent-folder/out.d1d"), std::string::npos);

    // A full disk, played by a file size limit.
    const std::string path = TempPath("full.d1d");
    std::ofstream(path) << "earlier";
    {
        IgnoreFileSizeSignal(); // as the program does at its start
        FileSizeLimit full(600);
        r = Export(m, path);
    }
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(ReadText(path), "earlier");
}

// Digits of the columns; a vertical range of 0 or less (Auto Scale of a constant variable) has no
// logarithm and counts as 1.
TEST(DataExport, DigitsOfTheTimeAndDataColumns)
{
    const struct
    {
        double arg;
        int time, data;
    } kCases[] = {{kTwoPi / 100, 5, 6}, {20, 3, 4},  {0.5, 4, 5},      {0, 4, 5},
                  {-3, 4, 5},           {NAN, 4, 5}, {1e300, -99, -99}};
    for (const auto& c : kCases) {
        EXPECT_EQ(ExportTimeDigits(c.arg), c.time) << c.arg;
        EXPECT_EQ(ExportDataDigits(c.arg), c.data) << c.arg;
    }
}

struct LineCase
{
    const char* line;
    int most;
    std::vector<double> numbers;
};

TEST(DataFile, ParseDataLineReadsNumbersByPosition)
{
    const LineCase kCases[] = {
        {"", 7, {}},
        {" 0.06283   +4.9902      -0.313  ", 7, {0.06283, 4.9902, -0.313}},
        {"1 2 3 4 5", 3, {1, 2, 3}},
        {"+5 1.2e+007 1e-5\t-.5", 7, {5, 1.2e7, 1e-5, -0.5}},
        {"1,2 3", 7, {1}},
        {"- 7", 7, {0, 7}},
        {"1.2.3 4", 7, {1.2, 4}},
        {"1e999 -1e999 1e-999", 7, {INFINITY, -INFINITY, 0}},
        {"+-3 e5 |4", 7, {0, 0}},
        {"12 x 3", 7, {12}},
    };
    for (const LineCase& c : kCases) {
        double v[7] = {};
        const int n = ParseDataLine(c.line, v, c.most);
        ASSERT_EQ(n, static_cast<int>(c.numbers.size())) << c.line;
        for (int i = 0; i < n; ++i)
            EXPECT_EQ(v[i], c.numbers[static_cast<std::size_t>(i)]) << c.line << " #" << i;
    }
}

struct BadFile
{
    SystemKind kind;
    std::string text;
    std::vector<std::string> messages;
    int rows;        // -1: nothing imported
    int earlier = 0; // an earlier import is there, and the answer to replacing it
};

TEST(DataImport, EveryMessageForItsFile)
{
    const std::string corrupted = kImportCorrupted;
    const std::string cannot = kImportCannotRead;
    const auto N = SystemKind::Newtonian, One = SystemKind::OneVariable,
               Two = SystemKind::TwoVariable, Three = SystemKind::ThreeVariable;
    const BadFile kCases[] = {
        {Two, "not a data file\r\n1 2 3 4 5\r\n", {cannot}, -1},
        {Two, Header(SystemKind::ThreeVariable) + "0 1 2 3 4 5 6\r\n", {cannot}, -1},
        {Two, "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n" + Header(Two) + "0 1 2 3 4\r\n", {cannot}, -1},
        {Two, "Dynamical System in 2 Variables - Data \r\nnames\r\n0 1 2 3 4\r\n", {cannot}, -1},
        {Two, Header(Two), {cannot}, -1},
        {Two, Header(Two) + "|0|1|\r\n", {cannot}, -1},
        {Two, Header(Two) + "0 1 2 3 4\r\n1 2 3 4 5\r\n2 3\r\n3 4 5 6 7\r\n", {corrupted}, 2},
        {Two, Header(Two) + "0 1 2 3 4\r\n1 2 3 4 5\r\n\r\n", {corrupted}, 2},
        {Two, Header(Two) + "0 1 2 3 4\r\n1 2 3 4 5\r\n2 3 4 5 6 7 8", {}, 3},
        {N,
         Header(N) + "0 1\r\n1 2\r\n",
         {"The data file is incomplete.\nestimated values of velocity\nand acceleration will be "
          "used.",
          corrupted},
         2},
        {N,
         Header(N) + "0 1 2\r\n1 2 3\r\n",
         {"The data file is incomplete.\nestimated values of acceleration\nwill be used."},
         2},
        {One,
         Header(One) + "0 1\r\n1 2\r\n",
         {"The data file is incomplete.\nestimated values of rate of change\nwill be used."},
         2},
        {Two,
         Header(Two) + "0 1\r\n1 2\r\n2 3\r\n",
         {"Only the x data column is readable.\nThe y data will be x delayed by\n1 chronons, the "
          "ydel value",
          "The data file is incomplete.\nestimated values of rate of change\nof x and/or y will be "
          "used."},
         3},
        {Two,
         Header(Two) + "0 1 2 3\r\n",
         {"The data file is incomplete.\nestimated values of rate of change\nof x and/or y will be "
          "used.",
          corrupted},
         1},
        {Three,
         Header(Three) + "0 1\r\n1 2\r\n",
         {"The y data column is missing.\nThe y data will be x delayed by\n1 chronons, the ydel "
          "value",
          "The z data column is missing.\nThe z data will be y delayed by\n1 chronons, the zdel "
          "value",
          "The data file is incomplete.\nestimated values of rate of change\nof x and/or y and/or "
          "z will be used."},
         2},
        {Three,
         Header(Three) + "0 1 2\r\n1 2 3\r\n",
         {"The z data column is missing.\nThe z data will be y delayed by\n1 chronons, the zdel "
          "value",
          "The data file is incomplete.\nestimated values of rate of change\nof x and/or y and/or "
          "z will be used."},
         2},
        {One, Header(One) + "0 1 2\r\n30 2 3\r\n", {kImportExtendRunTime}, 2},
        {One, Header(One) + "0 1 2\r\n", {kImportReplace}, -1, msgbox::IDNO},
        {One, Header(One) + "0 1 2\r\n", {kImportReplace}, 1, msgbox::IDYES},
    };
    for (const BadFile& c : kCases) {
        CModelCore m(c.kind);
        NewModel(m);
        m.m_nImportRows = 7;
        m.m_bHaveImport = c.earlier != 0;
        MessageRecorder answers({c.earlier});
        const ImportOutcome outcome = ImportText(m, c.text);
        EXPECT_EQ(answers.messages, c.messages) << c.text;
        EXPECT_EQ(outcome == ImportOutcome::Imported, c.rows >= 0) << c.text;
        EXPECT_EQ(m.m_nImportRows, c.rows >= 0 ? c.rows : 7) << c.text;
        EXPECT_EQ(m.m_bHaveImport != 0, c.rows >= 0 || c.earlier) << c.text;
        EXPECT_EQ(m.m_strImportFile, c.rows >= 0 ? "in.d2d" : "none") << c.text;
    }
}

struct FillCase
{
    SystemKind kind;
    int yDelay, zDelay;
    std::string rows;
    int slot;
    std::vector<double> expected;
};

// Columns that the file lacks: backward differences (Newtonian, one-variable), delayed copies
// and forward differences (two-, three-variable).
TEST(DataImport, MissingColumnsAreEstimated)
{
    using K = SystemKind;
    const std::string sq = "0 0\r\n1 1\r\n2 4\r\n3 9\r\n"; // x = t*t
    const FillCase kCases[] = {
        {K::Newtonian, 1, 1, sq, kSlotXp, {0, 1, 3, 5}},
        {K::Newtonian, 1, 1, sq, kSlotXpp, {0, 1, 2, 2}},
        {K::Newtonian, 1, 1, "0 0 0\r\n1 1 2\r\n2 4 4\r\n", kSlotXpp, {0, 2, 2}},
        {K::OneVariable, 1, 1, sq, kSlotXp, {0, 1, 3, 5}},
        {K::TwoVariable, 1, 1, sq, kSlotY, {0, 0, 1, 4}},
        {K::TwoVariable, 1, 1, sq, kSlotXp, {1, 3, 5, 5}},
        {K::TwoVariable, 1, 1, sq, kSlotYp, {0, 1, 3, 3}},
        {K::TwoVariable, 2, 1, sq, kSlotYp, {0, 0, 1, 1}},
        {K::ThreeVariable, 1, 1, sq, kSlotZ, {0, 0, 0, 1}},
        {K::ThreeVariable, 1, 2, "0 0 5\r\n1 1 6\r\n2 4 7\r\n3 9 8\r\n", kSlotZ, {0, 0, 5, 6}},
        {K::ThreeVariable, 1, 1, sq, kSlotZp, {0, 0, 1, 1}},
    };
    for (const FillCase& c : kCases) {
        CModelCore m(c.kind);
        NewModel(m);
        m.m_nYDelay = c.yDelay;
        m.m_nZDelay = c.zDelay;
        MessageRecorder quiet;
        ASSERT_EQ(ImportText(m, Header(c.kind) + c.rows), ImportOutcome::Imported);
        std::vector<double> got(m.m_arrImport[c.slot].begin(),
                                m.m_arrImport[c.slot].begin() + m.m_nImportRows);
        EXPECT_EQ(got, c.expected) << static_cast<int>(c.kind) << " slot " << c.slot << "\n"
                                   << c.rows;
    }
}

// Export of a default run, then import: the same rows within the written digits, with CR LF
// or LF line ends, and the extents and state taken from the rows.
TEST(DataImport, ReadsBackWhatTheExportWrote)
{
    for (SystemKind kind : kAllKinds) {
        CModelCore m(kind);
        ShortRun(m, 300);
        const std::string crlf = ExportedText(m);
        std::string lf;
        for (char ch : crlf)
            if (ch != '\r')
                lf += ch;
        for (const std::string& text : {crlf, lf}) {
            CModelCore back(kind);
            NewModel(back);
            MessageRecorder answers;
            ASSERT_EQ(ImportText(back, text), ImportOutcome::Imported);
            const DataFileKind& k = DataKind(kind);
            const int nRows = m.m_nTableCount;
            ASSERT_EQ(back.m_nImportRows, nRows);
            for (int i = 0; i < k.MaxNumbers(); ++i) {
                const int slot = k.SlotOfNumber(i);
                for (int r = 0; r < nRows; ++r) {
                    const double v = m.m_arrTable[slot][r];
                    const double tol = std::max(0.5e-4, std::fabs(v) * 1e-4) * 1.001;
                    ASSERT_NEAR(back.m_arrImport[slot][r], v, tol)
                        << "slot " << slot << " row " << r;
                }
            }
            EXPECT_EQ(back.m_dMaxX, *std::max_element(back.m_arrImport[kSlotX].begin(),
                                                      back.m_arrImport[kSlotX].end()));
            if (kind == SystemKind::ThreeVariable) {
                EXPECT_EQ(back.m_dZ, back.m_arrImport[kSlotZ][nRows - 1]);
            }
        }
    }
}

// Lines that cross the reader's buffer, and a first line of megabytes without a line end.
TEST(DataImport, LongFilesAndLongLinesAreReadWhole)
{
    std::string text = std::string(3 << 20, 'j') + "\n" + Header(SystemKind::TwoVariable);
    for (int r = 0; r < 40000; ++r)
        text += std::to_string(r) + " 1.5 -2.25 3e-007 " + std::to_string(r % 7) + "\r\n";
    CModelCore m(SystemKind::TwoVariable);
    NewModel(m);
    MessageRecorder quiet;
    ASSERT_EQ(ImportText(m, text), ImportOutcome::Imported);
    ASSERT_EQ(m.m_nImportRows, 40000);
    for (int r : {0, 9000, 39999}) {
        EXPECT_EQ(m.m_arrImport[kSlotT][r], r);
        EXPECT_EQ(m.m_arrImport[kSlotX][r], 1.5);
        EXPECT_EQ(m.m_arrImport[kSlotXp][r], 3e-7);
        EXPECT_EQ(m.m_arrImport[kSlotYp][r], r % 7);
    }
}

// A huge file whose line cannot be a data file's (one line end in 64 MB) is refused, or stops
// the rows, once that line has run past the longest line of a data file: the rest of the file
// is not read.
TEST(DataImport, AHugeFileStopsBeingReadAtALineThatCannotBeARow)
{
    struct Case
    {
        const char* name;
        std::string head; // then nothing but zero bytes, up to 64 MB
        std::vector<std::string> messages;
        int rows;
    };
    const std::string two = Header(SystemKind::TwoVariable);
    const Case cases[] = {
        {"before the title", "junk\r\n", {kImportCannotRead}, -1},
        {"the column names", two.substr(0, two.size() - 9), {kImportCannotRead}, -1},
        {"the first row", two, {kImportCannotRead}, -1},
        {"a later row", two + "0 1 2 3 4\r\n1 2 3 4 5\r\n", {kImportCorrupted}, 2},
        // Lines that start as rows: what is kept of them would read as one.
        {"the first row begun as a row", two + "0 1 2 3 4 ", {kImportCannotRead}, -1},
        {"a later row begun as a row", two + "0 1 2 3 4\r\n1 2 3 4 5", {kImportCorrupted}, 1},
    };
    const std::string path = TempPath("huge.d2d");
    const std::uintmax_t size = std::uintmax_t(64) << 20;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::ofstream(path, std::ios::binary) << c.head;
        std::filesystem::resize_file(path, size); // sparse: no disk is used
        CModelCore m(SystemKind::TwoVariable);
        NewModel(m);
        MessageRecorder boxes;
        std::FILE* f = std::fopen(path.c_str(), "rb");
        ASSERT_NE(f, nullptr);
        CDataLineReader reader(f);
        const ImportOutcome outcome = ImportDataFile(m, reader, size, path);
        const long read = std::ftell(f);
        std::fclose(f);
        EXPECT_EQ(boxes.messages, c.messages);
        EXPECT_EQ(outcome == ImportOutcome::Imported, c.rows >= 0);
        EXPECT_EQ(m.m_nImportRows, std::max(c.rows, 0));
        EXPECT_LE(read, static_cast<long>(CDataLineReader::kLongestLine + (2 << 20)));
    }
    std::filesystem::remove(path);
}

// The import keeps the first million rows of a longer file, without a message.
TEST(DataImport, StopsAfterAMillionRows)
{
    std::string text = Header(SystemKind::OneVariable);
    text.reserve(text.size() + 6 * (kImportMaxRows + 2));
    for (int r = 0; r < kImportMaxRows + 2; ++r)
        text += "1 2 3\n";
    CModelCore m(SystemKind::OneVariable);
    NewModel(m);
    MessageRecorder answers;
    ASSERT_EQ(ImportText(m, text), ImportOutcome::Imported);
    EXPECT_EQ(m.m_nImportRows, kImportMaxRows);
    EXPECT_TRUE(answers.messages.empty());
}

TEST(DataFile, DecimalCommaLocaleWritesAndReadsTheSame)
{
    CModelCore m(SystemKind::TwoVariable);
    ShortRun(m, 20);
    const std::string plain = ExportedText(m);
    std::string comma;
    CModelCore back(SystemKind::TwoVariable);
    NewModel(back);
    ImportOutcome outcome{};
    {
        DecimalCommaLocale commaLocale;
        if (!commaLocale.Active())
            GTEST_SKIP() << "no German locale installed (scripts/setup.sh generates one)";
        comma = ExportedText(m);
        outcome = ImportText(back, comma);
    }
    EXPECT_EQ(comma, plain);
    ASSERT_EQ(outcome, ImportOutcome::Imported);
    EXPECT_EQ(back.m_nImportRows, 21);
    EXPECT_EQ(back.m_arrImport[kSlotT][1], 0.06283);
}

} // namespace
