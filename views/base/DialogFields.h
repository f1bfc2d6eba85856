#pragma once
// Moving numbers between dialog members and edit fields, with the range messages users know.
#include <string>

class QLineEdit;

// Whole-text parses, blanks around the number allowed, whatever the locale.
bool ParseNumber(const std::string& text, double& value);
bool ParseInteger(const std::string& text, int& value);

// Read a field; on a bad value the message is shown, the field takes the focus with its text
// selected and false comes back (the member is left as it was).
bool ReadNumberField(QLineEdit* edit, double lo, double hi, double& value);
bool ReadIntegerField(QLineEdit* edit, int lo, int hi, int& value);

void WriteNumberField(QLineEdit* edit, double value);
void WriteIntegerField(QLineEdit* edit, int value);
