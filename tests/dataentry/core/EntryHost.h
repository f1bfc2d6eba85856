#pragma once
// A data-entry host over a bare model core that records what the interpreter asks of it.
#include "dataentry/core/Interpreter.h"

#include <optional>
#include <string>
#include <vector>

class CRecordingHost : public IDataEntryHost
{
public:
    explicit CRecordingHost(SystemKind kind) : core(kind) { core.InitNewModel(); }

    CModelCore& Model() override { return core; }
    void RecompileEquations() override { core.RecordEquations(); }
    void RestartRun() override { core.AllocateTable(); }
    void UpdateViews(long hint) override { hints.push_back(hint); }
    void MarkModified() override { modified = true; }
    bool ChooseColor(COLORREF& clr) override
    {
        dialogStart = clr;
        if (!colourAnswer)
            return false;
        clr = *colourAnswer;
        return true;
    }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }

    CModelCore core;
    std::vector<std::string> messages;
    std::vector<long> hints;
    bool modified = false;
    std::optional<COLORREF> colourAnswer; // nullopt: the dialog is cancelled
    std::optional<COLORREF> dialogStart;  // the colour the dialog was started on
};
