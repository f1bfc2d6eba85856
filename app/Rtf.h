#pragma once
// Lesson files as RTF, written and read for what a QTextDocument shows: fonts, sizes, bold,
// italic, underline, colours, paragraph alignment, line breaks, tabs and pictures (PNG or
// JPEG). Other word processors open the files; what they add beyond that is skipped on reading.
#include <string>

class QTextDocument;

std::string DocumentToRtf(const QTextDocument& doc);

// Fills doc (emptied first) from RTF text; false, leaving doc empty, when the text is not RTF.
bool RtfToDocument(const std::string& rtf, QTextDocument& doc);
