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
         nullptr,
         {{"m_strAppliedForce", 0, "a*sin(t)"}, {"m_strEquation", 0, "a*sin(t)-b*x-c*x'"}},
         {1},
         true},
        {"appf=a*(", kKept, kOutOfRange, {{"m_strAppliedForce", 0, "a*cos(af*t+pa)"}}, {}, false},
        {"appf=a*sin(t)", kKept, kUnknown, {}, {}, false, StandardForm},
        {"af=2",
         kCleared,
         nullptr,
         {{"m_dPeriod", kTwoPi / 2}, {"m_dChronon", kTwoPi / 200}},
         {1},
         true},
        {"per=", "per=6.28319", nullptr, {}, {}, false},
        {"m=0", kKept, kOutOfRange, {{"m_dMass", 1}}, {}, false},
        {"psg=0.001", kKept, kOutOfRange, {}, {}, false},
        {"psg=1e-6", kCleared, nullptr, {{"m_dJacobianStep", 1e-6}}, {1}, true},
        {"afd=abc", kKept, kOutOfRange, {{"m_nAnimDelay", 0}}, {}, false},
        {"afd=50", kCleared, nullptr, {{"m_nAnimDelay", 50}}, {1}, true},
        {"ix'=2", kCleared, nullptr, {{"m_dInitXp", 2}, {"m_dXp", 2}}, {1}, true},
        {"os15clr=1", kCleared, nullptr, {{"m_clrSection[14]", kChosen}}, {10}, true, ChooseColour},
        {"os0clr=1", kKept, kOutOfRange, {}, {}, false, ChooseColour},
        {"tr=",
         "tr=1e+006",
         nullptr,
         {},
         {},
         false,
         [](CRecordingHost& h) { h.core.m_nTableRows = 1000000; }},
        {"rtl=3",
         kCleared,
         "Changing time axis max to match run time limit.",
         {{"m_dRunTimeLimit", 3}, {"m_dGraphTMax", 3}},
         {31},
         true},
        {"rtl=0", kKept, kOutOfRange, {}, {}, false},
        {"xdel=5",
         kCleared,
         nullptr,
         {{"m_nXDelay", 5}, {"m_dXDelayTime", 5 * kTwoPi / 100}},
         {1},
         true},
        {"c/c=50",
         kCleared,
         nullptr,
         {{"m_dChronon", kTwoPi / 50}, {"m_dXDelayTime", kTwoPi / 50}},
         {1},
         true},
        {"c/c=50",
         kKept,
         "Number of chronons per cycle must be integral multiple\nof the table interval = 3",
         {{"m_nChrononsPerCycle", 99}},
         {},
         false,
         [](CRecordingHost& h) {
             h.core.m_nChrononsPerCycle = 99;
             h.core.m_nTableInterval = 3;
         }},
        {"vmax=-5",
         kCleared,
         "Changing vertical axis min to clear new max.",
         {{"m_dGraphVMax", -5}, {"m_dGraphVMin", -10}},
         {31},
         true,
         [](CRecordingHost& h) { h.core.m_dGraphVMin = -5; }},
        {"vmax=-10", kKept, kOutOfRange, {{"m_dGraphVMax", 10}}, {}, false},
        {"pox'lo=10", kKept, kOutOfRange, {}, {}, false},
        {"fox'hi=2", kCleared, nullptr, {{"m_dFOMax2", 2}}, {33}, true},
        {"pcp=no",
         kCleared,
         "Post Calculation plot remains in effect\nsince no alternative was selected.",
         {{"m_bPlotPostCalc", 1}},
         {},
         true},
        {"cp=yes", kCleared, nullptr, {{"m_bPlotConcurrent", 1}, {"m_bPlotPostCalc", 0}}, {}, true},
        {"gl=50", kCleared, nullptr, {{"m_nVFGridSpacing", 50}}, {12}, true},
        {"sg=yes", kCleared, nullptr, {{"m_bVFShowGrid", 1}}, {12}, true},
        {"bagrid=4", kCleared, nullptr, {{"m_nBAGrid", 4}}, {13}, true},
        {"tid=5", kCleared, nullptr, {{"m_nTrackSteps", 5}}, {}, true},
        {"x''lt=dot", kCleared, nullptr, {{"m_nStyleXpp", 2}}, {10}, true},
        {"xclr=", kCleared, nullptr, {{"m_clrX", RGB(255, 0, 0)}}, {}, false},
        {"y'=x", kKept, kUnknown, {}, {}, false},
    };
    RunEntryCases(SystemKind::Newtonian, cases);
}

TEST(Interpreter, OneVariableKeys)
{
    const EntryCase cases[] = {
        {"x'=", "x'=sin(x)", nullptr, {}, {}, false},
        {"X'=A*SIN(X)-B*X", kCleared, nullptr, {{"m_strXRate", 0, "a*sin(x)-b*x"}}, {1}, true},
        {"x'=a*sin(x)-b*x",
         kKept,
         kUnknown,
         {{"m_strXRate", 0, "sin(x)"}},
         {},
         false,
         StandardForm},
        {"x'=sin(", kKept, kOutOfRange, {{"m_strXRate", 0, "sin(x)"}}, {}, false},
        {"per=2*pi", kCleared, nullptr, {{"m_dPeriod", kTwoPi}, {"m_dAngFreq", 1}}, {1}, true},
        {"af=2*pi", kCleared, nullptr, {{"m_dAngFreq", 2}}, {1}, true},
        {"ix'=3", kCleared, nullptr, {{"m_dInitXp", 3}}, {1}, true},
        {"vfx'hi=-5",
         kCleared,
         "Changing x' axis min to clear new max.",
         {{"m_dVFMax2", -5}, {"m_dVFMin2", -10}},
         {37},
         true,
         [](CRecordingHost& h) { h.core.m_dVFMin2 = -5; }},
        {"vfx'hi=", "vfx'hi=10", nullptr, {}, {}, false},
        {"vftclr=", kKept, kUnknown, {}, {}, false},
        {"m=1", kKept, kUnknown, {}, {}, false},
        {"bagrid=2", kKept, kUnknown, {}, {}, false},
        {"vfclr=", kCleared, nullptr, {{"m_clrVFTrack", kChosen}}, {10}, true, ChooseColour},
        {"os16clr=", kCleared, nullptr, {{"m_clrSection[0]", kChosen}}, {10}, true, ChooseColour},
        {"osclr=", kKept, kOutOfRange, {}, {}, false, ChooseColour},
        {"tab=i", kKept, kOutOfRange, {{"m_nTableSource", 0}}, {}, false},
        {"tab=i",
         kCleared,
         nullptr,
         {{"m_nTableSource", 1}},
         {},
         true,
         [](CRecordingHost& h) { h.core.m_bHaveImport = 1; }},
        {"iao=", "iao=5", nullptr, {}, {}, false},
        {"iao=1", kCleared, nullptr, {{"m_nIntegrator", 0}}, {}, true},
        {"tr=500", kCleared, nullptr, {{"m_nTableRows", 500}}, {-1}, true},
    };
    RunEntryCases(SystemKind::OneVariable, cases);
}

TEST(Interpreter, TwoVariableKeys)
{
    const EntryCase cases[] = {
        {"x'=a*x+b*y",
         kCleared,
         nullptr,
         {{"m_strXRate", 0, "a*x+b*y"}, {"m_dX", 5}},
         {1},
         true,
         [](CRecordingHost& h) { h.core.m_dX = 1; }},
        {"y'=c*(", kKept, kOutOfRange, {{"m_strYRate", 0, "c*x+d*y"}}, {}, false},
        {"pox'hi=1", kKept, kUnknown, {}, {}, false},
        {"poyhi=1", kCleared, nullptr, {{"m_dPOMax2", 1}}, {32}, true},
        {"poyhi=-10", kKept, kOutOfRange, {{"m_dPOMax2", 10}}, {}, false},
        {"pa=pi", kKept, kOutOfRange, {}, {}, false},
        {"pa=3.14159265", kCleared, nullptr, {{"m_dPhase", 3.141593}}, {1}, true},
        {"rtl=2",
         kCleared,
         "Changing time axis max to match run time limit.",
         {{"m_dRunTimeLimit", 2}, {"m_dVFTime", 2}, {"m_dGraphTMax", 2}},
         {31},
         true,
         [](CRecordingHost& h) { h.core.m_dVFTime = 3; }},
        {"os9clr=1", kCleared, nullptr, {{"m_clrSection[8]", kChosen}}, {10}, true, ChooseColour},
        {"ti=3",
         kKept,
         "Table interval must divide evenly into the number of\nchronons per cycle = 100",
         {{"m_nTableInterval", 1}},
         {},
         false},
        {"ti=0", kKept, kOutOfRange, {}, {}, false},
        {"ti=200", kKept, kOutOfRange, {}, {}, false},
        {"ti=4", kCleared, nullptr, {{"m_nTableInterval", 4}}, {-1}, true},
        {"a=2*b", kCleared, nullptr, {{"m_strParamA", 0, "2*b"}, {"m_dParamA", 2}}, {1}, true},
        {"a=", "a=0", nullptr, {}, {}, false},
        {"TMAX=", "tmax=6.28319", nullptr, {}, {}, false},
        {"tmax =", kKept, kUnknown, {}, {}, false},
        {"tmax= 5", kCleared, nullptr, {{"m_dGraphTMax", 5}}, {31}, true},
        {"tmax=1",
         kCleared,
         "Changing time axis min to zero to clear new max.",
         {{"m_dGraphTMax", 1}, {"m_dGraphTMin", 0}},
         {31},
         true,
         [](CRecordingHost& h) { h.core.m_dGraphTMin = 2; }},
        {"tmin=0", kCleared, nullptr, {{"m_dGraphTMin", 0}}, {31}, true},
        {"tmin=-1", kKept, kOutOfRange, {}, {}, false},
        {"tmin=6.283185307179586", kKept, kOutOfRange, {}, {}, false},
        {"tmin=5",
         kCleared,
         "Changing time axis max to run time limit to clear new min.",
         {{"m_dGraphTMin", 5}, {"m_dGraphTMax", kTwoPi}},
         {31},
         true,
         [](CRecordingHost& h) { h.core.m_dGraphTMax = 4; }},
        {"plotx=yes ", kKept, kOutOfRange, {}, {}, false},
        {"ploty'=no", kCleared, nullptr, {{"m_bPlotYp", 0}}, {8}, true},
        {"y'nclr=", kCleared, nullptr, {{"m_clrNullcline2", kChosen}}, {10}, true, ChooseColour},
        {"osylo=10", kKept, kOutOfRange, {}, {}, false},
        {"baylo=5",
         kCleared,
         "Changing y axis max to clear new min.",
         {{"m_dBAMin2", 5}, {"m_dBAMax2", 10}},
         {36},
         true,
         [](CRecordingHost& h) { h.core.m_dBAMax2 = 5; }},
    };
    RunEntryCases(SystemKind::TwoVariable, cases);
}

TEST(Interpreter, ThreeVariableKeys)
{
    const EntryCase cases[] = {
        {"x'=", kKept, kUnknown, {}, {}, false, StandardForm},
        {"y'=x", kKept, kUnknown, {}, {}, false, StandardForm},
        {"a=", "a=.12651", nullptr, {}, {}, false, StandardForm},
        {"z'=x*", kKept, kOutOfRange, {{"m_strZRate", 0, "b+z*(x-c)"}}, {}, false},
        {"z'=b+z*(x-c)",
         kCleared,
         nullptr,
         {{"m_dZ", 0}, {"m_dT", 0}},
         {1},
         true,
         [](CRecordingHost& h) {
             h.core.m_dZ = 7;
             h.core.m_dT = 3;
         }},
        {"iz=abc", kKept, kOutOfRange, {{"m_dInitZ", 0}}, {}, false},
        {"pozhi=10", kCleared, nullptr, {{"m_dPO3MaxZ", 10}}, {32}, true},
        {"pozlo=10", kKept, kOutOfRange, {}, {}, false},
        {"pozlo=5", kCleared, nullptr, {{"m_dPO3MinZ", 5}, {"m_dPO3MaxZ", 10}}, {32}, true},
        {"pozlo=5",
         kCleared,
         "Changing z axis max to clear new min.",
         {{"m_dPO3MinZ", 5}, {"m_dPO3MaxZ", 10}},
         {32},
         true,
         [](CRecordingHost& h) { h.core.m_dPO3MaxZ = 4; }},
        {"pszlo=3",
         kCleared,
         "Changing z axis max to clear new min.",
         {{"m_dPS3MinZ", 3}, {"m_dPS3MaxZ", 10}},
         {35},
         true,
         [](CRecordingHost& h) { h.core.m_dPS3MaxZ = 2; }},
        {"rtl=30",
         kCleared,
         nullptr,
         {{"m_dRunTimeLimit", 30}, {"m_dGraphTMax", kTwoPi}},
         {},
         true},
        {"tr=500", kCleared, nullptr, {{"m_nTableRows", 500}}, {-1}, true},
        {"plotz'=no", kCleared, nullptr, {{"m_bPlotZp", 0}}, {8}, true},
        {"tabz=maybe", kKept, kOutOfRange, {}, {}, false},
        {"tabz=no", kCleared, nullptr, {{"m_bTabZ", 0}}, {9}, true},
        {"z'clr=", kCleared, nullptr, {{"m_clrZp", RGB(0, 255, 255)}}, {}, false},
        {"z'lt=dot", kCleared, nullptr, {{"m_nStyleZp", 2}}, {10}, true},
        {"z'lt=dotted", kKept, kOutOfRange, {}, {}, false},
        {"os1clr=1", kKept, kUnknown, {}, {}, false, ChooseColour},
        {"wso=1", kKept, kUnknown, {}, {}, false},
        {"plotx''=yes", kKept, kUnknown, {}, {}, false},
        {"foxhi=1", kKept, kUnknown, {}, {}, false},
        {"poyhi=", "poyhi=10", nullptr, {}, {}, false},
        {"mp=no",
         kCleared,
         "Manual plot remains in effect since\nno alternative was selected.",
         {{"m_bPlotManual", 1}},
         {},
         true,
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
        {"=5", kKept, "Invalid Data Entry", {}, {}, false},
        {"", kKept, "Invalid Data Entry", {}, {}, false},
        {"tmax5", kKept, "Invalid Data Entry", {}, {}, false},
    };
    RunEntryCases(SystemKind::TwoVariable, cases);

    CRecordingHost host(SystemKind::TwoVariable);
    CDataEntryInterpreter interpreter(host, SystemKind::TwoVariable);
    // The only "=" is the 135th character: past what is read.
    EXPECT_EQ(interpreter.Enter(std::string(134, 'a') + "=1").edit, EntryOutcome::Edit::Keep);
    EXPECT_EQ(host.messages, std::vector<std::string>{"Invalid Data Entry"});
    // What lies past the 132nd character is not read.
    interpreter.Enter("a=b" + std::string(129, ' ') + "*c");
    EXPECT_EQ(host.core.m_strParamA, "b" + std::string(129, ' '));
    EXPECT_EQ(host.core.m_dParamA, 1);
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
