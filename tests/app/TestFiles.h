#pragma once
// The files the command tests write and read back, under the test's temporary folder.
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

inline std::string Temp(const std::string& name)
{
    return ::testing::TempDir() + name;
}

// The whole file as it is on disk; empty when it cannot be read.
inline std::string ReadText(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// The image as a picture file of that format ("PNG", "JPEG") holds it.
inline QByteArray FileOf(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}
