#pragma once
// Numbers as dialogs and plots write and read them, whatever the locale. No Qt here.
#include <string>

// %g with the given significant digits and an exponent of at least three digits ("1e+030"),
// as the program has always written them.
std::string FormatGeneral(double value, int precision = 6);

// Whole-text parses: blanks around the number and a leading '+' allowed, nothing else.
bool ParseNumber(const std::string& text, double& value);
bool ParseInteger(const std::string& text, int& value);

// The leading decimal number of a text (after blanks and one sign), as typing produces it;
// false when the text starts with none or with one that a double cannot hold.
bool ReadLeadingNumber(const std::string& s, double& v);
// The leading decimal integer of a text; false when it starts with no digit. Values past any
// int saturate, so they fail every range.
bool ReadLeadingInteger(const std::string& s, long long& v);
