#pragma once
// The document's side of the model property sheet: what the sheet's pages write into the
// document while it is open (chronons per cycle, table interval, the parameters), kept so that
// Cancel can put it back, and the write-back of OK.
#include "model/core/ModelCore.h"

#include <string>

// The settings that the pages change in the document while the sheet is open.
class CPropertiesBefore
{
public:
    explicit CPropertiesBefore(const CModelSettings& doc);

    // Cancel: the settings back as they were, the parser's variables from them and every
    // equation recorded again from the document's own texts, so that nothing of the sheet
    // runs.
    void Restore(CModelCore& doc) const;

    int m_nChrononsPerCycle;
    int m_nTableInterval;

private:
    std::string m_strParams[4];
    double m_dParams[4];
};

// OK: takes the edited record back into the document in the fixed order, with the derived
// delay times, the parameters evaluated and the time axis lowered to a smaller run time (with
// its message). When a setting that shapes the run changed, the run's data are discarded (the
// table allocated afresh) and true comes back. The equations are recorded again either way.
bool ApplyProperties(CModelCore& doc, const CModelSettings& edited,
                     const CPropertiesBefore& before);
