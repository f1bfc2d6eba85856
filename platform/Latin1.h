#pragma once
// The program's texts are Latin-1 bytes; this is how they become Qt's strings.
#include <QString>

#include <string>

inline QString Latin1(const std::string& s)
{
    return QString::fromLatin1(s.data(), qsizetype(s.size()));
}
