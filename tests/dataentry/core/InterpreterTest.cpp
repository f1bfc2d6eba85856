// The data-entry interpreter on a bare model core, kind by kind.
#include "EntryCases.h"

#include <cmath>
#include <cstdio>

namespace {

const COLORREF kChosen = RGB(1, 2, 3);

void ChooseColour(CRecordingHost& h)
{
    h.colourAnswer = kChosen;
}
void StandardForm(CRecordingHost& h)
{
    h.core.m_nModelForm = 1;
}

TEST(Interpreter, NewtonianKeys)
{
    const EntryCase cases[] = {
        {"appf=a*sin(t)",
         kCleared,
         {{"m_strAppliedForce", "a*sin(t)"}, {"m_strEquation", "a*sin(t)-b*x-c*x'"}},
         {1},
         true},
        {"appf=a*(", kKept, {{"m_strAppliedForce", "a*cos(af*t+pa)"}}, {}, false, kOutOfRange},
        {"appf=a*sin(t)", kKept, {}, {}, false, kUnknown, StandardForm},
        {"af=2", kCleared, {{"m_dPeriod", kTwoPi / 2}, {"m_dChronon", kTwoPi / 200}}, {1}, true},
        {"per=", "per=6.28319", {}, {}, false},
        {"m=0", kKept, {{"m_dMass", 1}}, {}, false, kOutOfRange},
        {"psg=0.001", kKept, {}, {}, false, kOutOfRange},
        {"psg=1e-6", kCleared, {{"m_dJacobianStep", 1e-6}}, {1}, true},
        {"afd=abc", kKept, {{"m_nAnimDelay", 0}}, {}, false, kOutOfRange},
        {"afd=50", kCleared, {{"m_nAnimDelay", 50}}, {1}, true},
        {"wso=3", kCleared, {{"m_nRSMode", 3}}, {1}, true},
        {"wso=12", kKept, {{"m_nRSMode", 0}}, {}, false, kOutOfRange},
        {"ix'=2", kCleared, {{"m_dInitXp", 2}, {"m_dXp", 2}}, {1}, true},
        {"os15clr=1", kCleared, {{"m_clrSection[14]", kChosen}}, {10}, true, nullptr, ChooseColour},
        {"os0clr=1", kKept, {}, {}, false, kOutOfRange, ChooseColour},
        {"tr=",
         "tr=1e+006",
         {},
         {},
         false,
         nullptr,
         [](CRecordingHost& h) { h.core.m_nTableRows = 1000000; }},
        {"rtl=3",
         kCleared,
         {{"m_dRunTimeLimit", 3}, {"m_dGraphTMax", 3}},
         {31},
         true,
         "Changing time axis max to match run time limit."},
        {"rtl=0", kKept, {}, {}, false, kOutOfRange},
        {"xdel=5", kCleared, {{"m_nXDelay", 5}, {"m_dXDelayTime", 5 * kTwoPi / 100}}, {1}, true},
        {"c/c=50",
         kCleared,
         {{"m_dChronon", kTwoPi / 50}, {"m_dXDelayTime", kTwoPi / 50}},
         {1},
         true},
        {"c/c=50",
         kKept,
         {{"m_nChrononsPerCycle", 99}},
         {},
         false,
         "Number of chronons per cycle must be integral multiple\nof the table interval = 3",
         [](CRecordingHost& h) {
             h.core.m_nChrononsPerCycle = 99;
             h.core.m_nTableInterval = 3;
         }},
        {"vmax=-5",
         kCleared,
         {{"m_dGraphVMax", -5}, {"m_dGraphVMin", -10}},
         {31},
         true,
         "Changing vertical axis min to clear new max.",
         [](CRecordingHost& h) { h.core.m_dGraphVMin = -5; }},
        {"vmax=-10", kKept, {{"m_dGraphVMax", 10}}, {}, false, kOutOfRange},
        {"pox'lo=10", kKept, {}, {}, false, kOutOfRange},
        {"fox'hi=2", kCleared, {{"m_dFOMax2", 2}}, {33}, true},
        {"pcp=no",
         kCleared,
         {{"m_bPlotPostCalc", 1}},
         {},
         true,
         "Post Calculation plot remains in effect\nsince no alternative was selected."},
        {"cp=yes", kCleared, {{"m_bPlotConcurrent", 1}, {"m_bPlotPostCalc", 0}}, {}, true},
        {"gl=50", kCleared, {{"m_nVFGridSpacing", 50}}, {12}, true},
        {"sg=yes", kCleared, {{"m_bVFShowGrid", 1}}, {12}, true},
        {"bagrid=4", kCleared, {{"m_nBAGrid", 4}}, {13}, true},
        {"tid=5", kCleared, {{"m_nTrackSteps", 5}}, {}, true},
        {"x''lt=dot", kCleared, {{"m_nStyleXpp", 2}}, {10}, true},
        {"xclr=", kCleared, {{"m_clrX", RGB(255, 0, 0)}}, {}, false},
        {"y'=x", kKept, {}, {}, false, kUnknown},
    };
    RunEntryCases(SystemKind::Newtonian, cases);
}

TEST(Interpreter, OneVariableKeys)
{
    const EntryCase cases[] = {
        {"x'=", "x'=sin(x)", {}, {}, false},
        {"X'=A*SIN(X)-B*X", kCleared, {{"m_strXRate", "a*sin(x)-b*x"}}, {1}, true},
        {"x'=a*sin(x)-b*x", kKept, {{"m_strXRate", "sin(x)"}}, {}, false, kUnknown, StandardForm},
        {"x'=sin(", kKept, {{"m_strXRate", "sin(x)"}}, {}, false, kOutOfRange},
        {"per=2*pi", kCleared, {{"m_dPeriod", kTwoPi}, {"m_dAngFreq", 1}}, {1}, true},
        {"af=2*pi", kCleared, {{"m_dAngFreq", 2}}, {1}, true},
        {"ix'=3", kCleared, {{"m_dInitXp", 3}}, {1}, true},
        {"vfx'hi=-5",
         kCleared,
         {{"m_dVFMax2", -5}, {"m_dVFMin2", -10}},
         {37},
         true,
         "Changing x' axis min to clear new max.",
         [](CRecordingHost& h) { h.core.m_dVFMin2 = -5; }},
        {"vfx'hi=", "vfx'hi=10", {}, {}, false},
        {"vftclr=", kKept, {}, {}, false, kUnknown},
        {"m=1", kKept, {}, {}, false, kUnknown},
        {"bagrid=2", kKept, {}, {}, false, kUnknown},
        {"vfclr=", kCleared, {{"m_clrVFTrack", kChosen}}, {10}, true, nullptr, ChooseColour},
        {"os16clr=", kCleared, {{"m_clrSection[0]", kChosen}}, {10}, true, nullptr, ChooseColour},
        {"osclr=", kKept, {}, {}, false, kOutOfRange, ChooseColour},
        {"tab=i", kKept, {{"m_nTableSource", 0}}, {}, false, kOutOfRange},
        {"tab=i",
         kCleared,
         {{"m_nTableSource", 1}},
         {},
         true,
         nullptr,
         [](CRecordingHost& h) { h.core.m_bHaveImport = 1; }},
        {"iao=", "iao=5", {}, {}, false},
        {"iao=1", kCleared, {{"m_nIntegrator", 0}}, {}, true},
        {"tr=500", kCleared, {{"m_nTableRows", 500}}, {-1}, true},
    };
    RunEntryCases(SystemKind::OneVariable, cases);
}

TEST(Interpreter, TwoVariableKeys)
{
    const EntryCase cases[] = {
        {"x'=a*x+b*y",
         kCleared,
         {{"m_strXRate", "a*x+b*y"}, {"m_dX", 5}},
         {1},
         true,
         nullptr,
         [](CRecordingHost& h) { h.core.m_dX = 1; }},
        {"y'=c*(", kKept, {{"m_strYRate", "c*x+d*y"}}, {}, false, kOutOfRange},
        {"pox'hi=1", kKept, {}, {}, false, kUnknown},
        {"poyhi=1", kCleared, {{"m_dPOMax2", 1}}, {32}, true},
        {"poyhi=-10", kKept, {{"m_dPOMax2", 10}}, {}, false, kOutOfRange},
        {"pa=pi", kKept, {}, {}, false, kOutOfRange},
        {"pa=3.14159265", kCleared, {{"m_dPhase", 3.141593}}, {1}, true},
        {"rtl=2",
         kCleared,
         {{"m_dRunTimeLimit", 2}, {"m_dVFTime", 2}, {"m_dGraphTMax", 2}},
         {31},
         true,
         "Changing time axis max to match run time limit.",
         [](CRecordingHost& h) { h.core.m_dVFTime = 3; }},
        {"os9clr=1", kCleared, {{"m_clrSection[8]", kChosen}}, {10}, true, nullptr, ChooseColour},
        {"ti=3",
         kKept,
         {{"m_nTableInterval", 1}},
         {},
         false,
         "Table interval must divide evenly into the number of\nchronons per cycle = 100"},
        {"ti=0", kKept, {}, {}, false, kOutOfRange},
        {"ti=200", kKept, {}, {}, false, kOutOfRange},
        {"ti=4", kCleared, {{"m_nTableInterval", 4}}, {-1}, true},
        {"a=2*b", kCleared, {{"m_strParamA", "2*b"}, {"m_dParamA", 2}}, {1}, true},
        {"a=", "a=0", {}, {}, false},
        {"TMAX=", "tmax=6.28319", {}, {}, false},
        {"tmax =", kKept, {}, {}, false, kUnknown},
        {"tmax= 5", kCleared, {{"m_dGraphTMax", 5}}, {31}, true},
        {"tmax=1",
         kCleared,
         {{"m_dGraphTMax", 1}, {"m_dGraphTMin", 0}},
         {31},
         true,
         "Changing time axis min to zero to clear new max.",
         [](CRecordingHost& h) { h.core.m_dGraphTMin = 2; }},
        {"tmin=0", kCleared, {{"m_dGraphTMin", 0}}, {31}, true},
        {"tmin=-1", kKept, {}, {}, false, kOutOfRange},
        {"tmin=6.283185307179586", kKept, {}, {}, false, kOutOfRange},
        {"tmin=5",
         kCleared,
         {{"m_dGraphTMin", 5}, {"m_dGraphTMax", kTwoPi}},
         {31},
         true,
         "Changing time axis max to run time limit to clear new min.",
         [](CRecordingHost& h) { h.core.m_dGraphTMax = 4; }},
        {"plotx=yes ", kKept, {}, {}, false, kOutOfRange},
        {"ploty'=no", kCleared, {{"m_bPlotYp", 0}}, {8}, true},
        {"y'nclr=", kCleared, {{"m_clrNullcline2", kChosen}}, {10}, true, nullptr, ChooseColour},
        {"osylo=10", kKept, {}, {}, false, kOutOfRange},
        {"baylo=5",
         kCleared,
         {{"m_dBAMin2", 5}, {"m_dBAMax2", 10}},
         {36},
         true,
         "Changing y axis max to clear new min.",
         [](CRecordingHost& h) { h.core.m_dBAMax2 = 5; }},
    };
    RunEntryCases(SystemKind::TwoVariable, cases);
}

TEST(Interpreter, ThreeVariableKeys)
{
    const EntryCase cases[] = {
        {"x'=", kKept, {}, {}, false, kUnknown, StandardForm},
        {"y'=x", kKept, {}, {}, false, kUnknown, StandardForm},
        {"a=", "a=.12651", {}, {}, false, nullptr, StandardForm},
        {"z'=x*", kKept, {{"m_strZRate", "b+z*(x-c)"}}, {}, false, kOutOfRange},
        {"z'=b+z*(x-c)",
         kCleared,
         {{"m_dZ", 0}, {"m_dT", 0}},
         {1},
         true,
         nullptr,
         [](CRecordingHost& h) {
             h.core.m_dZ = 7;
             h.core.m_dT = 3;
         }},
        {"iz=abc", kKept, {{"m_dInitZ", 0}}, {}, false, kOutOfRange},
        {"pozhi=10", kCleared, {{"m_dPO3MaxZ", 10}}, {32}, true},
        {"pozlo=10", kKept, {}, {}, false, kOutOfRange},
        {"pozlo=5", kCleared, {{"m_dPO3MinZ", 5}, {"m_dPO3MaxZ", 10}}, {32}, true},
        {"pozlo=5",
         kCleared,
         {{"m_dPO3MinZ", 5}, {"m_dPO3MaxZ", 10}},
         {32},
         true,
         "Changing z axis max to clear new min.",
         [](CRecordingHost& h) { h.core.m_dPO3MaxZ = 4; }},
        {"pszlo=3",
         kCleared,
         {{"m_dPS3MinZ", 3}, {"m_dPS3MaxZ", 10}},
         {35},
         true,
         "Changing z axis max to clear new min.",
         [](CRecordingHost& h) { h.core.m_dPS3MaxZ = 2; }},
        {"rtl=30", kCleared, {{"m_dRunTimeLimit", 30}, {"m_dGraphTMax", kTwoPi}}, {}, true},
        {"tr=500", kCleared, {{"m_nTableRows", 500}}, {-1}, true},
        {"plotz'=no", kCleared, {{"m_bPlotZp", 0}}, {8}, true},
        {"tabz=maybe", kKept, {}, {}, false, kOutOfRange},
        {"tabz=no", kCleared, {{"m_bTabZ", 0}}, {9}, true},
        {"z'clr=", kCleared, {{"m_clrZp", RGB(0, 255, 255)}}, {}, false},
        {"z'lt=dot", kCleared, {{"m_nStyleZp", 2}}, {10}, true},
        {"z'lt=dotted", kKept, {}, {}, false, kOutOfRange},
        {"os1clr=1", kKept, {}, {}, false, kUnknown, ChooseColour},
        {"wso=1", kKept, {}, {}, false, kUnknown},
        {"plotx''=yes", kKept, {}, {}, false, kUnknown},
        {"foxhi=1", kKept, {}, {}, false, kUnknown},
        {"poyhi=", "poyhi=10", {}, {}, false},
        {"mp=no",
         kCleared,
         {{"m_bPlotManual", 1}},
         {},
         true,
         "Manual plot remains in effect since\nno alternative was selected.",
         [](CRecordingHost& h) {
             h.core.m_bPlotPostCalc = 0;
             h.core.m_bPlotManual = 1;
         }},
    };
    RunEntryCases(SystemKind::ThreeVariable, cases);
}

TEST(Interpreter, LinesWithoutANameOrPastTheLimit)
{
    const std::string longTail(140 - 6, 'x');
    const EntryCase cases[] = {
        {"=5", kKept, {}, {}, false, "Invalid Data Entry"},
        {"", kKept, {}, {}, false, "Invalid Data Entry"},
        {"tmax5", kKept, {}, {}, false, "Invalid Data Entry"},
    };
    RunEntryCases(SystemKind::TwoVariable, cases);

    CRecordingHost host(SystemKind::TwoVariable);
    CDataEntryInterpreter interpreter(host, SystemKind::TwoVariable);
    // A line past 132 characters is refused whole: cut, "a=b*c" would store "a=b".
    EXPECT_EQ(interpreter.Enter(std::string(134, 'a') + "=1").edit, EntryOutcome::Edit::Keep);
    interpreter.Enter("a=b" + std::string(129, ' ') + "*c");
    EXPECT_EQ(host.messages, std::vector<std::string>(2, kLineTooLong));
    EXPECT_EQ(host.core.m_strParamA, "0");
    interpreter.Enter("a=b" + std::string(128, ' ') + "*"); // 132 characters are read
    EXPECT_EQ(host.messages.back(), "value out of range");
}

TEST(Interpreter, SectionColourFamily)
{
    struct Case
    {
        const char* name;
        SystemKind kind;
        std::optional<int> entry;
    };
    const Case cases[] = {
        {"os1clr", SystemKind::Newtonian, 0},      {"os10clr", SystemKind::Newtonian, 9},
        {"os15clr", SystemKind::OneVariable, 14},  {"os16clr", SystemKind::OneVariable, 0},
        {"os9xyzclr", SystemKind::TwoVariable, 8}, {"os0clr", SystemKind::TwoVariable, -1},
        {"osclr", SystemKind::Newtonian, -1},      {"os1clr", SystemKind::ThreeVariable, {}},
        {"osxhi", SystemKind::Newtonian, {}},      {"poclr", SystemKind::Newtonian, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SectionColourEntry(c.name, c.kind), c.entry) << c.name;
}

TEST(Interpreter, RefusedEquationLeavesTheStoredOneRecorded)
{
    CRecordingHost host(SystemKind::OneVariable);
    CDataEntryInterpreter interpreter(host, SystemKind::OneVariable);
    interpreter.Enter("x'=2*(x+");
    CParser& p = *host.core.m_pParser;
    p.m_bScan = 0;
    p.m_nList = 1;
    p.m_nListIndex = 0;
    int status = 0;
    EXPECT_DOUBLE_EQ(p.Evaluate("", status), std::sin(0.01));
    EXPECT_NE(status, 0);
}

TEST(Interpreter, TableSizeChangeResizesTheColumnsAndResetsTheViews)
{
    CRecordingHost host(SystemKind::TwoVariable);
    CDataEntryInterpreter interpreter(host, SystemKind::TwoVariable);
    host.core.m_nTableCount = 50;
    interpreter.Enter("tr=500");
    EXPECT_EQ(host.core.m_arrTable[kSlotY].size(), 500u);
    EXPECT_EQ(host.core.m_nTableCount, 0);
    EXPECT_EQ(host.hints, std::vector<long>{-1});
}

// What the settings table allows (and so the property sheets), a key accepts, and no more.
TEST(Interpreter, KeysAcceptTheSettingsTableRange)
{
    const SystemKind kinds[] = {SystemKind::Newtonian, SystemKind::OneVariable,
                                SystemKind::TwoVariable, SystemKind::ThreeVariable};
    for (SystemKind kind : kinds) {
        for (const EntryKey& key : EntryKeys(kind)) {
            const bool plain = key.rule == EntryRule::Store || key.rule == EntryRule::Delay ||
                               key.rule == EntryRule::ChrononsPerCycle;
            if (!plain || (key.value != EntryValue::Number && key.value != EntryValue::Integer))
                continue;
            const bool integer = key.value == EntryValue::Integer;
            const double ends[2] = {EntryLow(key), EntryHigh(key)};
            for (int side = 0; side < 2; ++side) {
                CRecordingHost host(kind);
                CDataEntryInterpreter interpreter(host, kind);
                char text[64];
                std::snprintf(text, sizeof text, "%.17g", ends[side]);
                EXPECT_EQ(interpreter.Enter(key.name + "=" + text).edit, EntryOutcome::Edit::Clear)
                    << key.name << "=" << text;
                if (!integer)
                    continue;
                EXPECT_EQ(key.field->Int(host.core), ends[side]) << key.name;
                std::snprintf(text, sizeof text, "%.17g", ends[side] + (side ? 1 : -1));
                EXPECT_EQ(interpreter.Enter(key.name + "=" + text).edit, EntryOutcome::Edit::Keep)
                    << key.name << "=" << text;
            }
        }
    }
}

} // namespace
