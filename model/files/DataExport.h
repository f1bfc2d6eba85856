#pragma once
// Writing a model's table as a data file (see DataFile.h for the format). No Qt.
//
// The export works on its own copy of the rows, taken under the table's read lock when the
// export starts: Clear Data, a change of the table size or a continued run cannot change or
// free what it writes. The writer may run on any thread; it tests a stop flag before each row
// and always ends with a file of whole lines, or, when the file cannot be written, with the
// earlier file at that path left as it was.
#include "model/files/DataFile.h"
#include "platform/base/FilePath.h"

#include <array>
#include <atomic>
#include <functional>
#include <string>
#include <vector>

class CFileWriter;
class CModelCore;

struct EXPORTPARAMS
{
    static constexpr int kSlotsMax = 10;
    // The rows of each slot's column, oldest first; m_bColumn marks a slot with a column.
    std::array<std::vector<double>, kSlotsMax> m_column;
    std::array<bool, kSlotsMax> m_bColumn{};
    std::array<bool, kSlotsMax> m_bSign{}; // "+" before values that are not negative
    std::array<int, kSlotsMax> m_nPrecision{4, 4, 4, 4, 4, 4, 4, 4, 4, 4};
    std::array<std::string, kSlotsMax> m_strColumnName; // empty: no header cell
    std::array<int, kSlotsMax> m_nWidth{12, 12, 12, 12, 12, 12, 12, 12, 12, 12};
    int m_nRows = 0;
    std::string m_strTitle;
    std::string m_strEquations;
    std::string m_strParameters;
    FilePath m_path;
    int m_nExportKind = 0;
};

// Fills the block for an export of the model to path: texts, digits, the chosen columns in
// the kind's order and a copy of the table's rows from the oldest. False when the copy does not
// fit in memory.
bool MakeExportParams(const CModelCore& model, const FilePath& path, EXPORTPARAMS& params);

// The text of the file up to and including the column-name line.
std::string DataFileHeader(const EXPORTPARAMS& params);
// Writes the line of row r with its line end at p (room for kMaxRowText characters); returns
// its end.
constexpr std::size_t kMaxRowText = EXPORTPARAMS::kSlotsMax * 102 + 3;
char* WriteDataRow(const EXPORTPARAMS& params, int r, char* p);

struct ExportResult
{
    bool ok = false;
    int nRowsWritten = 0;
    std::string strError; // the message for the user when !ok
};

// Writes the file into an opened writer and puts it in place. bStop is tested before each row:
// a stopped export keeps the rows written so far. progressStep is called after every rows/33
// rows (never for fewer than 33 rows).
ExportResult WriteDataFile(const EXPORTPARAMS& params, CFileWriter& file,
                           const std::atomic<bool>& bStop,
                           const std::function<void()>& progressStep);
// The same, opening the file at the block's path first.
ExportResult WriteDataFile(const EXPORTPARAMS& params, const std::atomic<bool>& bStop,
                           const std::function<void()>& progressStep);

// The message about a data file that cannot be written, with the system's reason.
std::string DataFileError(const FilePath& path, const std::string& strReason);
