#pragma once
// The views of a model, by index (the index of the document's open-view counters), with the
// View command that opens each and the names of its classes per model kind. A view is found by
// its run-time class name: a view whose classes are not linked into the program yet has no
// class, so its View command stays grey and the restore of saved views passes it by, and it
// joins the program by implementing its classes under these names.
#include "model/core/ModelSettings.h"
#include "platform/Types.h"

struct CRuntimeClass;

enum ModelView : int
{
    kViewGraph,
    kViewTable,
    kViewProjectedOrbit,
    kViewFullOrbit,
    kViewOrbitSections,
    kViewPoincareSection,
    kViewBasins,
    kViewVectorField,
    kViewRealSpace,   // no command and not counted: only the restore opens it
    kViewCyclePlanes, // no command, not counted: opened by the restore only
    kModelViews
};
constexpr int kCountedViews = 8; // the views with a counter and a View command

struct ModelViewInfo
{
    UINT nID;                                    // the View command, 0 for none
    const char* menuText;                        // its menu item
    const char* classes[kSystemKinds];           // per kind; null where the kind has no such view
    const char* kindMenuText[kSystemKinds] = {}; // a kind's own item where it differs
};

const ModelViewInfo& ViewInfo(int nView);
// The view's item in the kind's View menu.
const char* ViewMenuText(SystemKind kind, int nView);
// The view index of a View command, or -1.
int ViewOfCommand(UINT nID);
// The linked class of the view for the kind, or null (the kind has none, or it is not built).
const CRuntimeClass* ViewClass(SystemKind kind, int nView);

// The saved view set: entry w of m_bViewWanted stands for view index kWantedViews[w].
constexpr int kWantedViews[7] = {kViewGraph,         kViewProjectedOrbit,  kViewFullOrbit,
                                 kViewOrbitSections, kViewPoincareSection, kViewBasins,
                                 kViewVectorField};
