#pragma once
// Reading a data file of the model's kind into its imported columns (see DataFile.h for the
// format). No Qt: messages and questions go through ShowMessageBox, progress through callbacks.
//
// The reader finds the kind's title line among the first nine lines, skips the column names and
// takes the numbers of each line by position. The count of numbers on the first data line fixes
// the file's layout; missing derivatives are estimated, and a missing y or z column of the two-
// and three-variable kinds is a delayed copy of x or y. Rows are read into columns of their own
// and given to the model at the end, so a file that cannot be read at all changes nothing and
// one that turns corrupted part way keeps the rows before the bad line.
#include "platform/base/FilePath.h"

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class CModelCore;

extern const char* const kImportCannotRead;
extern const char* const kImportReplace;
extern const char* const kImportCorrupted;
extern const char* const kImportNoMemory;
extern const char* const kImportExtendRunTime;

// The lines of a file in turn, with CR LF read as a line end; a line is kept up to a megabyte.
// A line longer than kLongestLine is no line of a data file: its start is the last line given
// (Overlong) and nothing after it is read, so a huge file without line ends is not read to its
// end.
class CDataLineReader
{
public:
    static constexpr std::size_t kLongestLine = std::size_t(16) << 20;

    explicit CDataLineReader(std::FILE* pFile) : m_pFile(pFile) {}
    // The next line without its line end, valid until the next call; false at the end.
    bool Next(std::string_view& line);
    // The last line given was cut off at kLongestLine.
    bool Overlong() const { return m_bOverlong; }

private:
    bool Fill();
    std::FILE* m_pFile;
    std::vector<char> m_buffer = std::vector<char>(1 << 20);
    std::size_t m_nPos = 0, m_nEnd = 0;
    std::string m_strLong; // a line that runs over the end of the buffer
    bool m_bEof = false;
    bool m_bOverlong = false;
};

struct ImportProgress
{
    std::function<void(long long nEstimatedRows)> begin; // once the import has been agreed to
    std::function<void()> step;                          // the bar takes one step
};

enum class ImportOutcome
{
    NotRead,  // not a data file of the kind, or no readable first row; nothing changed
    Declined, // the user kept the earlier import
    Imported
};

constexpr int kImportMaxRows = 1000000;

// Imports the file (nFileSize bytes, for the progress estimate) into the model.
ImportOutcome ImportDataFile(CModelCore& model, CDataLineReader& reader, long long nFileSize,
                             const FilePath& path, const ImportProgress& progress = {});
