#pragma once
// What the data-entry interpreter needs of its model document. The document implements it; the
// tests implement it over a bare model core.
#include "model/core/ModelCore.h"

#include <string>

class IDataEntryHost
{
public:
    virtual ~IDataEntryHost() = default;

    // The settings record with its parser.
    virtual CModelCore& Model() = 0;
    // Loads the parser variables and records every stored equation text into its token list,
    // whatever the parser says of it.
    virtual void RecompileEquations() = 0;
    // The run starts over: state back to the initial values at t = 0, the table emptied and
    // sized to the stored row count, calculated data dropped. Sends no hint.
    virtual void RestartRun() = 0;
    // Sends the hint to every view of the document.
    virtual void UpdateViews(long hint) = 0;
    virtual void MarkModified() = 0;
    // The colour dialog started on clr; true with the chosen colour in clr on OK.
    virtual bool ChooseColor(COLORREF& clr) = 0;
    // A modal message box with an OK button.
    virtual void ShowMessage(const std::string& text) = 0;
};
