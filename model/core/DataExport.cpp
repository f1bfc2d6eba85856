#include "model/core/DataExport.h"

#include "model/core/ModelCore.h"
#include "model/core/NumberText.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

namespace {

constexpr const char* kEol = "\r\n";
constexpr int kTimeWidth = 9;
constexpr int kDataWidth = 12;

// A file written beside its final path and put in place at the end, so a file that cannot be
// written leaves the earlier one alone. Where no file can be made beside it (a folder without
// write permission), the path itself is written.
class COutFile
{
public:
    ~COutFile()
    {
        if (m_fd >= 0) {
            ::close(m_fd);
            if (!m_strTemp.empty())
                ::unlink(m_strTemp.c_str());
        }
    }

    bool Open(const std::string& path)
    {
        m_strPath = path;
        static std::atomic<unsigned> s_nSerial{0};
        for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
            m_strTemp = path + ".~" + std::to_string(::getpid()) + "-" +
                        std::to_string(s_nSerial.fetch_add(1));
            m_fd = ::open(m_strTemp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (m_fd < 0 && errno != EEXIST)
                break;
        }
        if (m_fd < 0) {
            m_strTemp.clear();
            m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        }
        return Check(m_fd >= 0);
    }

    bool Write(const char* p, std::size_t n)
    {
        while (n > 0) {
            const ssize_t done = ::write(m_fd, p, n);
            if (done < 0 && errno == EINTR)
                continue;
            if (!Check(done > 0))
                return false;
            p += done;
            n -= static_cast<std::size_t>(done);
        }
        return true;
    }

    // Closes the file and puts it in place.
    bool Commit()
    {
        const int fd = std::exchange(m_fd, -1);
        if (!Check(::close(fd) == 0)) {
            Discard();
            return false;
        }
        if (!m_strTemp.empty() && !Check(::rename(m_strTemp.c_str(), m_strPath.c_str()) == 0)) {
            Discard();
            return false;
        }
        return true;
    }

    const std::string& Error() const { return m_strError; }

private:
    bool Check(bool ok)
    {
        if (!ok && m_strError.empty())
            m_strError = std::strerror(errno != 0 ? errno : EIO);
        return ok;
    }
    void Discard()
    {
        if (!m_strTemp.empty())
            ::unlink(m_strTemp.c_str());
    }

    std::string m_strPath, m_strTemp, m_strError;
    int m_fd = -1;
};

// The name fitted to the width: centred with the extra blank behind, or cut.
void AppendNameCell(const std::string& name, int nWidth, std::string& out)
{
    const int n = static_cast<int>(name.size());
    if (n >= nWidth) {
        out.append(name, 0, static_cast<std::size_t>(nWidth));
        return;
    }
    const int nFront = (nWidth - n + 1) / 2;
    out.append(static_cast<std::size_t>(nFront), ' ');
    out += name;
    out.append(static_cast<std::size_t>(nWidth - n - nFront), ' ');
}

void SetSlot(EXPORTPARAMS& p, int i, const char* name, int nDigits, bool bSign, int nWidth)
{
    p.m_bColumn[i] = true;
    p.m_strColumnName[i] = name;
    p.m_nPrecision[i] = nDigits;
    p.m_bSign[i] = bSign;
    p.m_nWidth[i] = nWidth;
}

// The equation line and the text whose parameters the parameter line lists.
void EquationTexts(const CModelCore& m, std::string& strLine, std::string& strUsed)
{
    switch (m.Kind()) {
    case SystemKind::Newtonian:
        strUsed = m.m_strEquation;
        break;
    case SystemKind::OneVariable:
        strUsed = m.m_strXRate;
        break;
    case SystemKind::TwoVariable:
        strLine = "x' = " + m.m_strXRate + "  y' = " + m.m_strYRate;
        strUsed = m.m_strXRate + " " + m.m_strYRate;
        break;
    case SystemKind::ThreeVariable:
        strLine = "x' = " + m.m_strXRate + "  y' = " + m.m_strYRate + "  z' = " + m.m_strZRate;
        strUsed = m.m_strXRate + " " + m.m_strYRate + " " + m.m_strZRate;
        break;
    }
}

// Copies the rows of the ring from its oldest, wrapping at the end of the columns.
bool CopyRows(const CModelCore& m, EXPORTPARAMS& p, const int (&slots)[EXPORTPARAMS::kSlotsMax])
{
    CTableReadLock lock(m);
    const TableRing& ring = lock.Ring();
    const auto size = static_cast<int>(m.m_arrTable[kSlotT].size());
    int nRows = ring.wrapped ? size : std::min(ring.count, size);
    const int nStart = (ring.index >= 0 && ring.index < size) ? ring.index : 0;
    nRows = std::max(nRows, 0);
    try {
        for (int i = 0; i < EXPORTPARAMS::kSlotsMax; ++i) {
            if (!p.m_bColumn[i])
                continue;
            const std::vector<double>& src = m.m_arrTable[static_cast<std::size_t>(slots[i])];
            if (static_cast<int>(src.size()) < size)
                return false;
            std::vector<double>& dst = p.m_column[i];
            dst.resize(static_cast<std::size_t>(nRows));
            const int nFirst = std::min(nRows, size - nStart);
            std::copy_n(src.begin() + nStart, nFirst, dst.begin());
            std::copy_n(src.begin(), nRows - nFirst, dst.begin() + nFirst);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    p.m_nRows = nRows;
    return true;
}

} // namespace

bool MakeExportParams(const CModelCore& m, const std::string& strPath, EXPORTPARAMS& p)
{
    const DataFileKind& kind = DataKind(m.Kind());
    p = EXPORTPARAMS{};
    p.m_strPath = strPath;
    p.m_strTitle = kind.title;
    std::string strUsed;
    EquationTexts(m, p.m_strEquations, strUsed);
    p.m_strParameters = m.FormatUsedParameters(strUsed);
    p.m_nExportKind = kind.exportKind;

    int slots[EXPORTPARAMS::kSlotsMax] = {};
    SetSlot(p, 0, "time", ExportTimeDigits(m.RunStep()), false, kTimeWidth);
    const int nDataDigits = ExportDataDigits(m.m_dGraphVAbsMax - m.m_dGraphVAbsMin);
    int next = 1;
    for (int c = 0; c < kind.nColumns; ++c) {
        const DataFileColumn& col = kind.columns[c];
        if (!(m.*VarOf(col.slot).table))
            continue;
        slots[next] = col.slot;
        SetSlot(p, next++, col.name, nDataDigits, true, kDataWidth);
    }
    return CopyRows(m, p, slots);
}

std::string DataFileHeader(const EXPORTPARAMS& p)
{
    std::string s = "This is a data table written by the\r\nTessaly Works' Veltrix program\r\n\r\n";
    s += p.m_strEquations + kEol;
    s += p.m_strParameters + kEol + kEol;
    s += p.m_strTitle + kEol;
    s += '|';
    for (int i = 0; i < EXPORTPARAMS::kSlotsMax; ++i) {
        if (p.m_strColumnName[i].empty())
            continue;
        AppendNameCell(p.m_strColumnName[i], p.m_nWidth[i], s);
        s += '|';
    }
    s += kEol;
    return s;
}

char* WriteDataRow(const EXPORTPARAMS& p, int r, char* out)
{
    *out++ = ' ';
    for (int i = 0; i < EXPORTPARAMS::kSlotsMax; ++i) {
        if (!p.m_bColumn[i])
            continue;
        out += FormatTableValue(out, p.m_column[i][static_cast<std::size_t>(r)], p.m_nPrecision[i],
                                p.m_bSign[i] ? 1 : 0, std::min(p.m_nWidth[i], 100));
        *out++ = ' ';
    }
    *out++ = '\r';
    *out++ = '\n';
    return out;
}

ExportResult WriteDataFile(const EXPORTPARAMS& p, const std::atomic<bool>& bStop,
                           const std::function<void()>& progressStep)
{
    ExportResult result;
    COutFile file;
    constexpr std::size_t kFlushAt = 1 << 20;
    const std::string header = DataFileHeader(p);
    std::vector<char> buffer(std::max(kFlushAt, header.size()) + kMaxRowText);
    char* pEnd = std::copy(header.begin(), header.end(), buffer.data());
    const int nStep = p.m_nRows / 33;
    bool ok = file.Open(p.m_strPath);
    for (int r = 0; ok && r < p.m_nRows && !bStop.load(std::memory_order_relaxed); ++r) {
        pEnd = WriteDataRow(p, r, pEnd);
        ++result.nRowsWritten;
        if (static_cast<std::size_t>(pEnd - buffer.data()) >= kFlushAt) {
            ok = file.Write(buffer.data(), static_cast<std::size_t>(pEnd - buffer.data()));
            pEnd = buffer.data();
        }
        if (nStep > 0 && (r + 1) % nStep == 0 && progressStep)
            progressStep();
    }
    ok = ok && file.Write(buffer.data(), static_cast<std::size_t>(pEnd - buffer.data())) &&
         file.Commit();
    result.ok = ok;
    if (!ok)
        result.strError =
            "Could not write the data file " + p.m_strPath + ":\n" + file.Error() + ".";
    return result;
}
