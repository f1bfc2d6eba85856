#pragma once
// The data files of the four model kinds ("*.dnd", "*.d1d", "*.d2d", "*.d3d"): what differs per
// kind, and the scanner of one data line that the import and the fuzz target share. No Qt.
//
// A data file is 8-bit text with CR LF line ends: two maker lines, an empty line, the
// equation line, the parameter line, an empty line, the kind's title line, the "|"-framed
// column names and one line per table row. Writing: DataExport.h; reading: DataImport.h.
#include "model/core/KindVars.h"

#include <string_view>

// One column of a data file after "time": its name and its variable (whose table-column flag
// chooses it for an export).
struct DataFileColumn
{
    const char* name;
    VarSlot slot;
};

struct DataFileKind
{
    SystemKind kind;
    const char* pattern; // "*.d2d", also the file dialogs' preset name
    const char* filter;  // the file dialogs' one type entry
    const char* title;   // the title line, exactly
    int exportKind;      // 0 Newtonian, 1 two-, 2 three-, 3 one-variable
    int nColumns;        // columns after "time"
    DataFileColumn columns[6];

    // Numbers of a full line: time and every column.
    int MaxNumbers() const { return nColumns + 1; }
    // The table slot of the i-th number of a line (0 is time).
    VarSlot SlotOfNumber(int i) const { return i == 0 ? kSlotT : columns[i - 1].slot; }
};

const DataFileKind& DataKind(SystemKind kind);

// Scans up to nMost numbers of a line into pOut and returns how many it found. A number is the
// longest run of "1234567890-+.eE" after white space, read as far as it reads as a decimal
// number (a run that does not, such as a lone "-", counts as 0); any other character ends the
// line's numbers. Independent of the locale.
int ParseDataLine(std::string_view line, double* pOut, int nMost);

// The digits of the time column (4 - trunc(log10(dt))) and of the data columns
// (5 - trunc(log10(range))). A zero, negative or non-finite argument counts as 1.
int ExportTimeDigits(double dChronon);
int ExportDataDigits(double dRange);
