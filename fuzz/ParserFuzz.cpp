// The expression parser: the first two bytes pick the variables' values, the rest is the text.
// Any text evaluates without a crash; a recording evaluates as the scan did; the compiled and
// the token-by-token replays agree with a scan of the same text (value bits, status, error
// flag and the cause of an error), before and after the variables change; so do the rates of
// all three lists in one call, as machine code and as threaded code, with the state given
// apart from the parser's own members, and a first-order step in one call.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "parser/Parser.h"
#include "platform/base/MessageHook.h"

namespace {

struct Outcome
{
    double dValue;
    int nStatus;
    int bError;
    EvalError eError;
};

bool Same(const Outcome& a, const Outcome& b)
{
    const bool bValue = (std::isnan(a.dValue) && std::isnan(b.dValue)) ||
                        std::memcmp(&a.dValue, &b.dValue, sizeof a.dValue) == 0;
    return bValue && a.nStatus == b.nStatus && a.bError == b.bError && a.eError == b.eError;
}

Outcome Run(CParser& p, const std::string& text, int bScan, int nList, bool bCompiled)
{
    p.SetCompiledReplay(bCompiled);
    p.m_bScan = static_cast<std::uint8_t>(bScan);
    p.m_nList = nList;
    p.m_nListIndex = 0;
    int status = -1;
    const double d = p.Evaluate(text.c_str(), status);
    return {d, status, p.m_bError, p.LastError()};
}

void SetVariables(CParser& p, std::uint8_t nSeed)
{
    static const double kValues[] = {0.0,   1.0,     -1.0, 0.5,      2.0, -2.5, 3.0,     100.0,
                                     1e300, -1e-300, -0.0, INFINITY, NAN, 1e-6, -1000.0, 123.456};
    constexpr unsigned kCount = sizeof kValues / sizeof kValues[0];
    double CParser::*const kMembers[] = {
        &CParser::m_dA,        &CParser::m_dB,        &CParser::m_dC,      &CParser::m_dD,
        &CParser::m_dX,        &CParser::m_dY,        &CParser::m_dZ,      &CParser::m_dT,
        &CParser::m_dXPrime,   &CParser::m_dYPrime,   &CParser::m_dZPrime, &CParser::m_dXDelayed,
        &CParser::m_dYDelayed, &CParser::m_dZDelayed, &CParser::m_dAF,     &CParser::m_dPA,
        &CParser::m_dDT};
    unsigned n = nSeed;
    for (auto member : kMembers) {
        p.*member = kValues[n % kCount];
        n = n * 7 + 3;
    }
}

// Scanning gives status 2 where a replay gives 1.
Outcome AsReplay(Outcome scanned)
{
    scanned.nStatus = scanned.nStatus == 0 ? 0 : 1;
    return scanned;
}

void Check(bool bOk)
{
    if (!bOk)
        std::abort();
}

// The text recorded in all three lists, evaluated in one call and rate by rate at the
// parser's t, x, y, z, handed over while the members hold other values, as machine code and
// as threaded code: a call that succeeds gives the scan's value for each rate, and every call
// succeeds or fails alike.
void CheckRates(CParser& p, const std::string& text, const Outcome& reference)
{
    static constexpr RateInputs kInputs = {
        4, {&CParser::m_dT, &CParser::m_dX, &CParser::m_dY, &CParser::m_dZ}, 3};
    for (int nList = 1; nList <= 3; ++nList)
        Run(p, text, 1, nList, true);
    const double t = p.m_dT, u[3] = {p.m_dX, p.m_dY, p.m_dZ};
    int nSucceeded = 0;
    for (bool bNative : {true, false}) {
        p.SetNativeRates(bNative);
        p.m_dT = p.m_dX = p.m_dY = p.m_dZ = 7.0;
        double rate[3] = {}, one[3] = {};
        bool bOk = p.EvaluateRates(kInputs, t, u, rate);
        nSucceeded += bOk;
        for (int i = 0; i < 3; ++i)
            Check(p.EvaluateRate(kInputs, i, t, u, one[i]) == bOk);
        p.m_dT = t;
        p.m_dX = u[0];
        p.m_dY = u[1];
        p.m_dZ = u[2];
        for (int i = 0; bOk && i < 3; ++i) {
            Check(reference.nStatus != 0);
            Check(Same({rate[i], 1, 0, EvalError::None}, reference));
            Check(Same({one[i], 1, 0, EvalError::None}, reference));
        }
    }
    Check(nSucceeded != 1);

    // A first-order step in one call takes the values of the same step rate by rate.
    p.SetNativeRates(true);
    constexpr double h = 0.25;
    double u1[3] = {u[0], u[1], u[2]}, r1[3] = {1.0, 0.0, 0.0};
    if (p.EvaluateFirstOrderStep<3>(kInputs, t, u1, r1, h)) {
        double u2[3] = {u[0], u[1], u[2]}, r2[3] = {1.0, 0.0, 0.0};
        u2[0] = u2[0] + h * r2[0];
        for (int i = 1; i < 3; ++i) {
            Check(p.EvaluateRate(kInputs, i, t, u2, r2[i]));
            u2[i] = u2[i] + h * r2[i];
        }
        Check(p.EvaluateRate(kInputs, 0, t, u2, r2[0]));
        for (int i = 0; i < 3; ++i) {
            Check(Same({u1[i], 1, 0, EvalError::None}, {u2[i], 1, 0, EvalError::None}));
            Check(Same({r1[i], 1, 0, EvalError::None}, {r2[i], 1, 0, EvalError::None}));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The parser shows no message: any box would be a fault.
    SetMessageBoxHook([](const std::string&, unsigned) -> int { std::abort(); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::string text(reinterpret_cast<const char*>(data + 2), size - 2);
    if (text.find('\0') != std::string::npos)
        return 0;
    auto parser = std::make_unique<CParser>();
    CParser& p = *parser;
    SetVariables(p, data[0]);

    const Outcome scanned = Run(p, text, 1, 0, true);
    Check(scanned.nStatus >= 0 && scanned.nStatus <= 2);
    Check((scanned.nStatus == 0) == (scanned.bError != 0));
    Check(scanned.nStatus != 0 || scanned.dValue == 0.0);

    std::string upper(text);
    for (char& c : upper)
        c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    if (upper.find("RAND") != std::string::npos)
        return 0; // depends on the clock

    const int nList = data[1] % 3 + 1;
    const Outcome recorded = Run(p, text, 1, nList, true);
    // A recording too long for its list fails where the scan succeeds; else they are the same.
    if (recorded.eError == EvalError::TooLong)
        Check(scanned.nStatus != 0 && recorded.nStatus == 0);
    else
        Check(Same(recorded, scanned));
    const bool bWhole = recorded.nStatus != 0;
    for (int nRound = 0; nRound < 2; ++nRound) {
        if (nRound == 1)
            SetVariables(p, data[1]);
        const Outcome reference = AsReplay(Run(p, text, 1, 0, true));
        p.m_bDelayedVarUsed = false;
        const Outcome compiled = Run(p, "", 0, nList, true);
        const Outcome tokens = Run(p, "", 0, nList, false);
        Check(!p.m_bDelayedVarUsed);
        Check(Same(compiled, tokens));
        if (bWhole) {
            Check(Same(compiled, reference));
            CheckRates(p, text, reference);
        }
    }
    return 0;
}
