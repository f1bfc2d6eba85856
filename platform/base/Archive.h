#pragma once
// Little-endian binary archive of model files. Loading reads from a byte buffer held whole in
// memory, so a length field can be checked against what is left before anything is allocated;
// reading past the end throws CArchiveException (endOfFile) and the caller discards the object.
#include "platform/base/WinTypes.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

class CArchiveException : public std::runtime_error
{
public:
    enum Cause
    {
        endOfFile,
        badFormat
    };
    explicit CArchiveException(Cause cause);
    Cause m_cause;
};

class CArchive
{
public:
    enum Mode
    {
        store,
        load
    };

    CArchive();                                        // storing into an empty buffer
    explicit CArchive(std::vector<std::uint8_t> data); // loading from data

    bool IsStoring() const { return m_mode == store; }
    bool IsLoading() const { return m_mode == load; }

    void WriteInt(std::int32_t v);
    void WriteDouble(double v);
    void WriteString(const std::string& s);
    void WritePoint(const POINT& p);

    std::int32_t ReadInt();
    double ReadDouble();
    std::string ReadString(); // 8-bit or 16-bit stored texts; 16-bit ones become 8-bit
    POINT ReadPoint();

    const std::vector<std::uint8_t>& Buffer() const { return m_data; }
    std::size_t Position() const { return m_pos; }
    std::size_t Remaining() const { return m_data.size() - m_pos; }

private:
    void Put(const void* p, std::size_t n);
    void Take(void* p, std::size_t n);
    template <class T> T Raw()
    {
        T v;
        Take(&v, sizeof v);
        return v;
    }
    std::uint32_t ReadLength(bool& wide);
    std::uint8_t ReadByte();
    std::uint16_t ReadWord();
    std::uint32_t ReadDword();

    Mode m_mode;
    std::vector<std::uint8_t> m_data;
    std::size_t m_pos = 0;
};

// Opens a file for reading without waiting on it: a FIFO, a device or a folder is refused before
// anything is read. The descriptor, or -1 with errno set.
int OpenRegularFile(const std::string& path);

// Whole-file helpers; both return false (errno set), never throw, when the path is no regular
// file or it cannot be read or written. A read of a file longer than maxBytes fails (EFBIG)
// before it takes the memory. A write replaces the file only when all of it was written;
// bFollowLink false replaces a link at the path instead of the file it leads to.
bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& out,
                   std::size_t maxBytes = SIZE_MAX);
bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& data,
                    bool bFollowLink = true);

// Makes a write past the process's file-size limit (RLIMIT_FSIZE) fail with EFBIG, as on a full
// disk, instead of ending the process with SIGXFSZ: the writers then report it and remove their
// temporaries. The program calls it once at its start.
void IgnoreFileSizeSignal();

// A folder of this process's own (mode 0700, a new name under $TMPDIR or /tmp), made at the first
// call; empty when it cannot be made.
const std::string& PrivateTempFolder();

// A file written in pieces beside its path and put in the path's place by Commit once all of it
// is on disk; one destroyed before, or whose writing failed, leaves the earlier file as it was.
// Error() gives the system's reason for the first failure.
class CFileWriter
{
public:
    CFileWriter() = default;
    ~CFileWriter();
    CFileWriter(const CFileWriter&) = delete;
    CFileWriter& operator=(const CFileWriter&) = delete;

    bool Open(const std::string& path, bool bFollowLink = true);
    bool Write(const void* p, std::size_t n);
    bool Commit();
    // Gives up the writing: the piece written so far goes, the earlier file stays.
    void Discard();
    const std::string& Error() const { return m_strError; }

private:
    bool Fail(int nError);
    std::string m_strPath, m_strTemp, m_strError;
    int m_fd = -1;
};
