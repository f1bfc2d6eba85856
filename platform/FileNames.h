#pragma once
// Paths are kept in the file system's encoding, as the system calls take them; the program's
// texts are Latin-1. These are the crossings between the two and Qt's strings.
#include "platform/Latin1.h"

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

// A path as the program's text, to be shown (a character beyond Latin-1 shows as "?").
inline std::string PathText(const std::string& path)
{
    return PathToQt(path).toLatin1().toStdString();
}

// A file name written in the program's text (a lesson's link) as a path.
inline std::string PathFromText(const std::string& text)
{
    return PathFromQt(Latin1(text));
}
