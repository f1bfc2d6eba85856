#pragma once
// The small dialogs of a lesson's Edit menu: Find and Replace, and Font (with the colour).
#include <QString>

class QTextCharFormat;
class QWidget;

struct FindRequest
{
    QString what, with;
    bool matchCase = false;
    bool all = false; // Replace All
};

// Asks for what to find (and what to put instead); false when cancelled or empty.
bool AskFind(QWidget* parent, bool bReplace, FindRequest& r);

// Asks for the font and colour of format, which it replaces; false when cancelled.
bool AskFont(QWidget* parent, QTextCharFormat& format);
