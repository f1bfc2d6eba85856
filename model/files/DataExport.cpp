#include "model/files/DataExport.h"

#include "model/core/ModelCore.h"
#include "model/core/NumberText.h"
#include "platform/base/Archive.h"

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
    int nRows = ring.wrapped ? size : static_cast<int>(std::min<RowCount>(ring.count, size));
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

bool MakeExportParams(const CModelCore& m, const FilePath& path, EXPORTPARAMS& p)
{
    const DataFileKind& kind = DataKind(m.Kind());
    p = EXPORTPARAMS{};
    p.m_path = path;
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

std::string DataFileError(const FilePath& path, const std::string& strReason)
{
    return "Could not write the data file " + PathText(path) + ":\n" + strReason + ".";
}

ExportResult WriteDataFile(const EXPORTPARAMS& p, CFileWriter& file, const std::atomic<bool>& bStop,
                           const std::function<void()>& progressStep)
{
    ExportResult result;
    constexpr std::size_t kFlushAt = 1 << 20;
    const std::string header = DataFileHeader(p);
    std::vector<char> buffer(std::max(kFlushAt, header.size()) + kMaxRowText);
    char* pEnd = std::copy(header.begin(), header.end(), buffer.data());
    const int nStep = p.m_nRows / 33;
    bool ok = true;
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
    result.ok = ok && file.Write(buffer.data(), static_cast<std::size_t>(pEnd - buffer.data())) &&
                file.Commit();
    if (!result.ok) {
        result.strError = DataFileError(p.m_path, file.Error());
        file.Discard(); // no piece of it stays beside the target
    }
    return result;
}

ExportResult WriteDataFile(const EXPORTPARAMS& p, const std::atomic<bool>& bStop,
                           const std::function<void()>& progressStep)
{
    CFileWriter file;
    if (!file.Open(p.m_path.Bytes())) {
        ExportResult result;
        result.strError = DataFileError(p.m_path, file.Error());
        return result;
    }
    return WriteDataFile(p, file, bStop, progressStep);
}
