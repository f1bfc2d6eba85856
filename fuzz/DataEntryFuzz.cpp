// The data-entry line: the first byte picks the kind and whether the colour dialog is
// answered, the rest is lines typed one after another into the same model. Every line is
// accepted, refused with a message or answered; then the model is run for a few steps.
#include "dataentry/core/Interpreter.h"
#include "model/core/ModelCore.h"
#include "model/core/TrajectoryCalc.h"
#include "platform/base/MessageHook.h"

#include <cstdint>
#include <string>

namespace {

class FuzzHost : public IDataEntryHost
{
public:
    FuzzHost(SystemKind kind, bool bChoose) : m_core(kind), m_bChoose(bChoose)
    {
        m_core.InitNewModel();
    }
    CModelCore& Model() override { return m_core; }
    void RecompileEquations() override { m_core.RecordEquations(); }
    // Nothing has run yet, so the table the document would empty here is the one the run below
    // allocates afresh: emptying it at every line only cost time.
    void RestartRun() override {}
    void UpdateViews(long) override {}
    void MarkModified() override {}
    bool ChooseColor(COLORREF& clr) override
    {
        clr = 0x123456;
        return m_bChoose;
    }
    void ShowMessage(const std::string&) override {}

private:
    CModelCore m_core;
    bool m_bChoose;
};

// Stops a run after a few polls: enough steps to meet what the settings do to a run.
class ShortRun : public ICalcSink
{
public:
    bool ShouldStop() override { return ++m_nPolls > 4; }

private:
    int m_nPolls = 0;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // What the model says beyond the interpreter's own refusals is answered OK.
    SetMessageBoxHook([](const std::string&, unsigned) { return msgbox::IDOK; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1 || size > 4096)
        return 0;
    const auto kind = static_cast<SystemKind>(data[0] % kSystemKinds);
    FuzzHost host(kind, (data[0] / kSystemKinds) % 2 != 0);
    CDataEntryInterpreter interpreter(host, kind);
    const std::string text(data + 1, data + size);
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        interpreter.Enter(text.substr(start, end - start));
        start = end + 1;
    }
    CALCPARAMS params;
    bool bAllocated = false;
    if (host.Model().PrepareRun(params, bAllocated)) {
        params.m_nStepDelay = 0; // the pause between steps only slows the run down
        CTrajectoryCalc calc(params);
        ShortRun sink;
        calc.Run(sink);
        host.Model().TakeRunResults(calc, calc.m_nIndex, calc.m_nCount);
    }
    return 0;
}
