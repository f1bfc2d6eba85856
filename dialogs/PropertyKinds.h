#pragma once
// What the property sheet of each model kind shows: captions, labels, which settings each page
// edits and how the Space page checks them. One sheet and one set of pages read this table;
// ranges and types come from the settings table, variables from the kind's variables table.
#include "model/core/ModelSettings.h"

#include <span>

// A setting shown on a page: its member in the settings record and its label.
struct PageField
{
    const char* member;
    const char* label;
};

// An equation of the Space page: its member, the group box over its edit and the name its
// message gives it.
struct EquationField
{
    const char* member;
    const char* group;
    const char* name; // "Applied Force", "x rate of change", ...
};

// When the Space page clears the flag that an expression read x:, y: or z:.
enum class DelayedFlag
{
    BeforeParameters, // a parameter that reads a delayed variable counts
    AfterParameters,
    Never // no vector field view: delayed variables are always allowed
};

struct PropertyKind
{
    SystemKind kind;
    const char* caption;
    // Time page: labels with dot leaders; pa and per on one row otherwise.
    bool longTimeLabels;
    // Space page.
    int equations;
    EquationField equation[3];
    bool compileEquations; // record into token lists 1..3, else check each text once
    DelayedFlag delayedFlag;
    // Standard-form dialog: the radio buttons (form 0 first) and the formula beside each.
    int forms;
    const char* formButton[6];
    const char* formFormula[6];
    bool formulaBelow; // the formula on the line below its button
    // Table page: the column check boxes in exchange order.
    int columns;
    PageField column[6];
    // Object page: the mass (Newtonian) and the initial values.
    int objects;
    PageField object[4];
};

const PropertyKind& PropertyKindOf(SystemKind kind);

// Bytes that a row of the kind's table takes: eight per column, time included.
int TableBytesPerRow(SystemKind kind);

// The delays of the kind (xdel, ydel, zdel as the kind has them): members of the settings.
struct DelayField
{
    int CModelSettings::*delay;
    double CModelSettings::*time;
    const char* member;
    const char* label;
};
std::span<const DelayField> DelaysOf(SystemKind kind);
