#pragma once
// Lesson files as RTF, written and read for what a QTextDocument shows: fonts, sizes, bold,
// italic, underline, colours, paragraph alignment, line breaks, tabs and pictures (PNG or
// JPEG). Other word processors open the files; what they add beyond that is skipped on reading.
#include <string>

class QByteArray;
class QString;
class QTextDocument;

std::string DocumentToRtf(const QTextDocument& doc);

// Fills doc (emptied first) from RTF text; false, leaving doc empty, when the text is not RTF.
bool RtfToDocument(const std::string& rtf, QTextDocument& doc);

// A JPEG picture keeps the bytes it came in beside its image, under the image's name, and is
// written as them: a photograph then takes two characters a byte of its file, not six a pixel
// as PNG. Bytes that are no JPEG are not kept.
void KeepJpegBytes(QTextDocument& doc, const QString& name, const QByteArray& bytes);
// The bytes kept for the picture of that name; empty when there are none.
QByteArray KeptJpegBytes(const QTextDocument& doc, const QString& name);
