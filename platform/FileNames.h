#pragma once
// Paths are kept in the file system's encoding, as the system calls take them; the program's
// texts are Latin-1. These are the crossings between the two and Qt's strings; a path becomes a
// text to be shown only through PathText (platform/base/FilePath.h).
#include "platform/Latin1.h"
#include "platform/base/FilePath.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <string>

inline std::string PathFromQt(const QString& s)
{
    return QFile::encodeName(s).toStdString();
}

inline QString PathToQt(const std::string& path)
{
    return QFile::decodeName(QByteArray(path.data(), qsizetype(path.size())));
}

// A file name written in the program's text (a lesson's link) as a path.
inline std::string PathFromText(const std::string& text)
{
    return PathFromQt(Latin1(text));
}
