#pragma once
// What the 3-D view tests share: a test view opened shown in the main frame, a table shaped as a
// ring of stored rows, and whether the active view offers a command.
#include "ModelAppHarness.h"

template <class View> View* OpenShown3D(CDocTemplate* pTemplate, CDynSys** ppDoc)
{
    auto* doc = dynamic_cast<CDynSys*>(pTemplate->OpenDocumentFile(nullptr));
    auto* view = dynamic_cast<View*>(doc->GetViews().front());
    GraphTestMainFrame()->MDIActivate(view->GetParentFrame());
    view->GetParentFrame()->ShowWindow(SW_SHOWMAXIMIZED);
    view->UpdateWindow();
    if (ppDoc)
        *ppDoc = doc;
    return view;
}

// A zeroed table of rows rows holding n stored rows, the oldest at n % rows once wrapped; the
// caller writes row i at i % rows.
inline void ShapeRing(CDynSys* doc, int rows, int n)
{
    doc->m_nTableRows = rows;
    for (auto& c : doc->m_arrTable)
        c.assign(rows, 0.0);
    doc->m_nTableCount = n;
    doc->m_bTableWrapped = n > rows;
    doc->m_nTableIndex = n > rows ? n % rows : 0;
    doc->m_bHaveData = n > 0;
}

inline bool CommandOffered(UINT id)
{
    CCmdUI ui(id);
    GraphTestMainFrame()->UpdateCommand(&ui);
    return ui.m_bEnabled;
}
