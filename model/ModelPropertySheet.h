#pragma once
// The property sheet of a model kind as its document sees it. The sheets live in dialogs/,
// above the documents; View/Set Properties makes the kind's sheet from its run-time class name
// (nothing happens when that library is not linked) and knows it only through this interface.
#include "model/core/ModelCore.h"

class IModelPropertySheet
{
public:
    // "CDS1ModProps", "CDS1NNModProps", "CDS2ModProps", "CDS3ModProps".
    static const char* ClassName(SystemKind kind);

    // Fills the pages from the document, runs the sheet modally on the page last shown and,
    // when it ends with OK (IDOK comes back), leaves the pages' values in edited, a copy of
    // the document's settings. While the sheet is open its pages write the chronons per
    // cycle, the table interval and the parameters into the document.
    virtual int RunFor(CModelCore& doc, CModelSettings& edited) = 0;

protected:
    ~IModelPropertySheet() = default;
};
