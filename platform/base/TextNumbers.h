#pragma once
// Numbers as dialogs and plots write and read them, whatever the locale. No Qt here.
#include <string>

// %g with the given significant digits and an exponent of at least three digits ("1e+030"),
// as the program has always written them.
std::string FormatGeneral(double value, int precision = 6);

// Whole-text parses: blanks around the number and a leading '+' allowed, nothing else.
bool ParseNumber(const std::string& text, double& value);
bool ParseInteger(const std::string& text, int& value);
