#pragma once
// Edits of the property pages. A page takes back exactly the value it wrote into an edit for
// as long as the edit still shows the text it wrote: a value loaded from the document, or one
// that the page computed (the period from the frequency), is never rounded by its 15-digit
// text and never refused by a range that it lies outside of. Only a text the user changed is
// read and checked, with the framework's messages.
#include "platform/DataExchange.h"

#include <QString>

#include <map>
#include <string>

class QLineEdit;

// The range of a setting in the settings table.
struct FieldRange
{
    double lo, hi;
    bool loOpen = false; // lo itself is refused
};
FieldRange RangeOf(const char* member);

class CKeptEdits
{
public:
    // True when the value was read from a text the user changed.
    bool Number(CDataExchange* pDX, QLineEdit* pEdit, double& value, FieldRange range);
    void Integer(CDataExchange* pDX, QLineEdit* pEdit, int& value, FieldRange range);
    // A text of at most nChars characters (a longer one that was loaded is kept whole).
    void Text(CDataExchange* pDX, QLineEdit* pEdit, std::string& value, int nChars);
    // A number the page computed, shown in its edit and taken back as it is.
    void Show(QLineEdit* pEdit, double value);
    // A text the page wrote, taken back as it is.
    void Show(QLineEdit* pEdit, const std::string& value);

private:
    // True (with the control prepared) when the edit still shows what the page wrote.
    bool Kept(CDataExchange* pDX, QLineEdit* pEdit, double* pNumber);
    void Note(QLineEdit* pEdit, double number);

    std::map<const QLineEdit*, std::pair<QString, double>> m_kept;
};
