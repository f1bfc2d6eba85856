#pragma once
// Depth of a basins view: the integration steps per start point, 0 to 1000, shown in the
// view's top left corner as an up-down with a hidden buddy and a visible edit that takes Enter
// (a one-line edit that wants return, so Enter reaches the view as EN_MAXTEXT).
#include "model/core/SettingsTable.h"
#include "platform/Controls.h"

#include <string>

// A typed Depth: a whole number from 0 to 1000; text that is no number reads as 0.
bool ParseDepth(const std::string& text, int& depth);
// The up-down's buddy text: the whole number it wrote, nothing else.
bool ParseBuddyDepth(const std::string& text, int& depth);

class CDepthStrip
{
public:
    static constexpr UINT kEdit = 2002, kBuddy = 2003, kSpin = 2004;
    static constexpr int kMaxDepth = kMaxBasinsDepth;

    void Create(CWnd* pParent, int depth);
    // The height of the controls.
    int Height() const { return m_nHeight; }
    // Shows depth as a whole number in both edits; the up-down follows its buddy.
    void Show(int depth);
    // Refuses the typed text: the edit takes the focus with its text selected.
    void SelectText();

    CEdit m_edit, m_buddy;
    CSpinButtonCtrl m_spin;

private:
    int m_nHeight = 0;
};
