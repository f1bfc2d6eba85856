#include "model/files/DataImport.h"

#include "model/core/ModelCore.h"
#include "model/files/DataFile.h"
#include "platform/base/MessageHook.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

const char* const kImportCannotRead = "Veltrix can not read the selected data file.";
const char* const kImportReplace =
    "This file will replace data already imported.\nDo you wish to continue?";
const char* const kImportCorrupted =
    "Veltrix found corrupted data.\nThe import operation has been\nstopped with the last good "
    "data.";
const char* const kImportNoMemory =
    "There is not enough memory on your system\nto allocate the data table arrays with the "
    "number of rows\nincluded in the data file.  The import operation has been\nhalted with the "
    "last complete row of data.";
const char* const kImportExtendRunTime = "Do you want to extend run time to cover imported data?";

bool CDataLineReader::Fill()
{
    if (m_bEof)
        return false;
    m_nPos = 0;
    m_nEnd = std::fread(m_buffer.data(), 1, m_buffer.size(), m_pFile);
    m_bEof = m_nEnd == 0;
    return !m_bEof;
}

bool CDataLineReader::Next(std::string_view& line)
{
    if (m_bOverlong)
        return false;
    m_strLong.clear();
    std::size_t nLength = 0; // of the line so far, beyond what is kept
    bool bLong = false;
    for (;;) {
        if (m_nPos == m_nEnd && !Fill()) {
            if (!bLong)
                return false;
            line = m_strLong; // a last line without a line end
            break;
        }
        const char* pStart = m_buffer.data() + m_nPos;
        const auto* pNl = static_cast<const char*>(std::memchr(pStart, '\n', m_nEnd - m_nPos));
        const auto nLen = static_cast<std::size_t>((pNl ? pNl : m_buffer.data() + m_nEnd) - pStart);
        nLength += nLen;
        // A line is kept up to a megabyte: a file without line ends cannot fill the memory.
        if (bLong || pNl == nullptr)
            m_strLong.append(pStart, std::min(nLen, m_buffer.size() - m_strLong.size()));
        if (nLength > kLongestLine) {
            line = m_strLong;
            m_bOverlong = true;
            return true;
        }
        if (pNl == nullptr) {
            m_nPos = m_nEnd;
            bLong = true;
            continue;
        }
        m_nPos += nLen + 1;
        line = bLong ? std::string_view(m_strLong) : std::string_view(pStart, nLen);
        break;
    }
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return true;
}

namespace {

bool IsFirstOrder(SystemKind kind)
{
    return kind == SystemKind::TwoVariable || kind == SystemKind::ThreeVariable;
}

std::string Chronons(const char* missing, const char* source, int nDelay, const char* name)
{
    return std::string(missing) + "The " + (name[0] == 'y' ? "y" : "z") + " data will be " +
           source + " delayed by\n" + std::to_string(nDelay) + " chronons, the " + name + " value";
}

// The messages about the columns that a first data line of n numbers lacks.
std::vector<std::string> LayoutMessages(const CModelCore& m, int n)
{
    std::vector<std::string> out;
    const char* const kIncomplete = "The data file is incomplete.\nestimated values of ";
    switch (m.Kind()) {
    case SystemKind::Newtonian:
        if (n == 2)
            out.push_back(std::string(kIncomplete) + "velocity\nand acceleration will be used.");
        if (n == 3)
            out.push_back(std::string(kIncomplete) + "acceleration\nwill be used.");
        break;
    case SystemKind::OneVariable:
        if (n == 2)
            out.push_back(std::string(kIncomplete) + "rate of change\nwill be used.");
        break;
    case SystemKind::TwoVariable:
        if (n == 2)
            out.push_back(
                Chronons("Only the x data column is readable.\n", "x", m.m_nYDelay, "ydel"));
        if (n < 5)
            out.push_back(std::string(kIncomplete) + "rate of change\nof x and/or y will be used.");
        break;
    case SystemKind::ThreeVariable:
        if (n == 2)
            out.push_back(Chronons("The y data column is missing.\n", "x", m.m_nYDelay, "ydel"));
        if (n <= 3)
            out.push_back(Chronons("The z data column is missing.\n", "y", m.m_nZDelay, "zdel"));
        if (n < 7)
            out.push_back(std::string(kIncomplete) +
                          "rate of change\nof x and/or y and/or z will be used.");
        break;
    }
    return out;
}

// The imported rows while they are read: the columns in slot order and the rules that fill
// what the file lacks.
class CImportRows
{
public:
    CImportRows(const CModelCore& m, int n)
        : m_kind(DataKind(m.Kind())), m_n(n),
          m_bFirstOrder(IsFirstOrder(m.Kind())), m_nDelay{0, 0, std::max(m.m_nYDelay, 0),
                                                          std::max(m.m_nZDelay, 0)}
    {
    }

    int Count() const { return m_nRows; }
    std::vector<double>& Column(int slot) { return m_cols[static_cast<std::size_t>(slot)]; }

    // Stores a row of m_n numbers; false after the memory message.
    bool Store(const double* pNumbers)
    {
        double v[7] = {};
        std::copy_n(pNumbers, m_n, v);
        Fill(v);
        try {
            for (int i = 0; i < m_kind.MaxNumbers(); ++i)
                Column(m_kind.SlotOfNumber(i)).push_back(v[i]);
        } catch (const std::bad_alloc&) {
            for (int i = 0; i < m_kind.MaxNumbers(); ++i)
                Column(m_kind.SlotOfNumber(i)).resize(static_cast<std::size_t>(m_nRows));
            ShowMessageBox(kImportNoMemory, msgbox::MB_OK);
            return false;
        }
        ++m_nRows;
        return true;
    }

private:
    // The value that number i had in row k - nBack (0 before the first row).
    double Earlier(const double* v, int i, int nBack) const
    {
        if (nBack == 0)
            return v[i];
        const int k = m_nRows - nBack;
        if (k < 0)
            return 0.0;
        return m_cols[static_cast<std::size_t>(m_kind.SlotOfNumber(i))]
                     [static_cast<std::size_t>(k)];
    }

    double BackwardDifference(const double* v, int i) const
    {
        if (m_nRows == 0)
            return 0.0;
        return (v[i] - Earlier(v, i, 1)) / (v[0] - Earlier(v, 0, 1));
    }

    void Fill(double* v)
    {
        const int nMax = m_kind.MaxNumbers();
        if (!m_bFirstOrder) {
            // Newtonian and one-variable: each missing number is the rate of change of the one
            // before it, in this row only.
            for (int i = m_n; i < nMax; ++i)
                v[i] = BackwardDifference(v, i - 1);
            return;
        }
        const int nVars = m_kind.nColumns / 2;
        // A missing variable is the last variable read, delayed by the delays between them.
        int nBack = 0;
        for (int i = m_n; i <= nVars; ++i) {
            nBack += m_nDelay[i];
            v[i] = Earlier(v, m_n - 1, nBack);
        }
        for (int i = std::max(m_n, nVars + 1); i < nMax; ++i) {
            const int var = i - nVars;
            const bool bZero = m_kind.kind == SystemKind::TwoVariable && m_n == 2 && var == 2 &&
                               m_nRows <= m_nDelay[2];
            v[i] = bZero ? 0.0 : BackwardDifference(v, var);
            // The estimate also goes to the row before, which so gets the forward difference.
            if (m_nRows > 0)
                Column(m_kind.SlotOfNumber(i))[static_cast<std::size_t>(m_nRows - 1)] = v[i];
        }
    }

    const DataFileKind& m_kind;
    const int m_n;
    const bool m_bFirstOrder;
    const int m_nDelay[4]; // by number: y's delay behind x at 2, z's behind y at 3
    std::array<std::vector<double>, kSlots> m_cols;
    int m_nRows = 0;
};

// Gives the rows to the model: columns, extents, the state of the first-order kinds, names.
void Commit(CModelCore& m, CImportRows& rows, const FilePath& path)
{
    const DataFileKind& kind = DataKind(m.Kind());
    const int nRows = rows.Count();
    for (int i = 0; i < kind.MaxNumbers(); ++i) {
        const VarSlot slot = kind.SlotOfNumber(i);
        std::vector<double>& col = rows.Column(slot);
        if (const VarInfo& var = VarOf(slot); var.min != nullptr) {
            m.*var.max = -1e30;
            m.*var.min = 1e30;
            for (double v : col) {
                if (v > m.*var.max)
                    m.*var.max = v;
                if (v < m.*var.min)
                    m.*var.min = v;
            }
        }
        if (IsFirstOrder(m.Kind()) && nRows > 0)
            m.*VarOf(slot).value = col.back();
        m.m_arrImport[static_cast<std::size_t>(slot)] = std::move(col);
    }
    m.m_nImportRows = nRows;
    m.m_bHaveImport = 1;
    m.m_strImportTitle = PathText(path); // texts the plots show
    m.m_strImportFile = PathText(path.Name());
}

class CImport
{
public:
    CImport(CModelCore& m, CDataLineReader& reader, const ImportProgress& progress)
        : m_model(m), m_kind(DataKind(m.Kind())), m_reader(reader), m_progress(progress)
    {
    }

    ImportOutcome Run(long long nFileSize, const FilePath& path)
    {
        double first[7] = {};
        std::size_t nFirstLength = 0;
        const int n = FindFirstRow(first, nFirstLength);
        if (n < 2) {
            ShowMessageBox(kImportCannotRead, msgbox::MB_OK);
            return ImportOutcome::NotRead;
        }
        if (m_model.m_bHaveImport &&
            ShowMessageBox(kImportReplace, msgbox::MB_YESNO | msgbox::MB_ICONQUESTION) !=
                msgbox::IDYES)
            return ImportOutcome::Declined;
        const long long nEstimate = nFileSize / static_cast<long long>(nFirstLength + 1);
        if (m_progress.begin)
            m_progress.begin(nEstimate);
        CImportRows rows(m_model, n);
        if (rows.Store(first)) {
            for (const std::string& text : LayoutMessages(m_model, n))
                ShowMessageBox(text, msgbox::MB_OK);
            if (ReadSpecialRows(rows, n))
                ReadRows(rows, n, nEstimate);
        }
        Commit(m_model, rows, path);
        AskToExtendRunTime();
        return ImportOutcome::Imported;
    }

private:
    // The title line among the first nine lines, the column names, then the first data line:
    // the count of its numbers, 0 when any of it is missing.
    int FindFirstRow(double* pFirst, std::size_t& nLength)
    {
        std::string_view line;
        bool bTitle = false;
        for (int i = 0; i < 9 && !bTitle && m_reader.Next(line); ++i)
            bTitle = line == m_kind.title;
        if (!bTitle || !m_reader.Next(line) || !m_reader.Next(line))
            return 0;
        nLength = line.size();
        return Numbers(line, pFirst, m_kind.MaxNumbers());
    }

    // The numbers of a line; none from a line too long to be a data row.
    int Numbers(std::string_view line, double* pOut, int nMost) const
    {
        return m_reader.Overlong() ? 0 : ParseDataLine(line, pOut, nMost);
    }

    // The rows after the first of a file that lacks columns must be there: a missing one counts
    // as corrupted.
    bool ReadSpecialRows(CImportRows& rows, int n)
    {
        if (n == m_kind.MaxNumbers())
            return true;
        const int nSpecial = (m_kind.kind == SystemKind::Newtonian && n == 2) ? 2 : 1;
        for (int i = 0; i < nSpecial; ++i) {
            double v[7];
            std::string_view line;
            if (!m_reader.Next(line) || Numbers(line, v, n) < n) {
                ShowMessageBox(kImportCorrupted, msgbox::MB_OK);
                return false;
            }
            if (!rows.Store(v))
                return false;
        }
        return true;
    }

    void ReadRows(CImportRows& rows, int n, long long nEstimate)
    {
        const long long nStep = nEstimate / (IsFirstOrder(m_kind.kind) ? 30 : 33);
        long long nCounter = 1;
        std::string_view line;
        while (m_reader.Next(line)) {
            double v[7];
            if (Numbers(line, v, n) < n) {
                ShowMessageBox(kImportCorrupted, msgbox::MB_OK);
                return;
            }
            if (rows.Count() >= kImportMaxRows || !rows.Store(v))
                return;
            if (++nCounter == nStep) {
                nCounter = 0;
                if (m_progress.step)
                    m_progress.step();
            }
        }
    }

    void AskToExtendRunTime()
    {
        const std::vector<double>& t = m_model.m_arrImport[kSlotT];
        const double tLast = m_model.m_nImportRows > 0 ? t[m_model.m_nImportRows - 1] : 0.0;
        if (tLast > m_model.m_dRunTimeLimit &&
            ShowMessageBox(kImportExtendRunTime, msgbox::MB_YESNO | msgbox::MB_ICONQUESTION) ==
                msgbox::IDYES)
            m_model.m_dRunTimeLimit = tLast;
    }

    CModelCore& m_model;
    const DataFileKind& m_kind;
    CDataLineReader& m_reader;
    const ImportProgress& m_progress;
};

} // namespace

ImportOutcome ImportDataFile(CModelCore& model, CDataLineReader& reader, long long nFileSize,
                             const FilePath& path, const ImportProgress& progress)
{
    return CImport(model, reader, progress).Run(nFileSize, path);
}
