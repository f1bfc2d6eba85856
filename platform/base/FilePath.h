#pragma once
// A file's path as the file system spells it (bytes, UTF-8 on this system) and the system calls
// take it. The program's texts are Latin-1, so a path is kept apart from them: it has no way
// into a message, a title or a string but PathText, and a text built from a path without it
// does not compile.
#include <string>
#include <utility>

class FilePath
{
public:
    FilePath() = default;
    FilePath(std::string bytes) : m_bytes(std::move(bytes)) {}
    FilePath(const char* bytes) : m_bytes(bytes ? bytes : "") {}

    // For the system calls and the file dialogs, never for a text.
    const std::string& Bytes() const { return m_bytes; }
    const char* c_str() const { return m_bytes.c_str(); }
    bool empty() const { return m_bytes.empty(); }
    // What follows the last '/' (the whole path when it has none).
    FilePath Name() const;

    friend bool operator==(const FilePath&, const FilePath&) = default;

private:
    std::string m_bytes;
};

// The path as the program's text, to be shown: a character beyond Latin-1, or a byte that is no
// UTF-8, shows as "?".
std::string PathText(const FilePath& path);
