#pragma once
// The three-variable model's Poincaré Section and Projected Orbit: the states (x, y, z) of a
// run, and of imported rows, in the turnable box of the 3-D base, once per forcing cycle as
// points or joined row by row with the return marks, with a keyboard cursor and its read-outs,
// and the "Show Cell?" check box that shows or hides the box's edges.
#include "platform/Controls.h"
#include "views/base/3DView.h"

class CBox3View : public C3DView
{
    VX_DECLARE_CLASS(CBox3View)
public:
    static constexpr UINT IDC_SHOW_CELL = 2022;

    explicit CBox3View(ModelView view);

    CButton m_showCell; // "Show Cell?"
    // Digits of the box's axes, of the rates' running ranges and of dt.
    int m_nDigitsX = 4, m_nDigitsY = 4, m_nDigitsZ = 4;
    int m_nDigitsXp = 4, m_nDigitsYp = 4, m_nDigitsZp = 4, m_nDigitsT = 4;

    void OnInitialUpdate() override;
    void OnShowCell();
    // The model's "Show Cell?" flag of this view.
    BOOL& ShowCell() const;

protected:
    void TakeSettings(const CModelCore& s) override;
    void DrawMargins(CDC* pDC) override;
    void DrawScene(CDC* pDC, bool bFull) override;
    int CursorDigits(int column) const override;

private:
    void DrawBoxLimits(CDC* pDC);
    bool m_bSection;
};

class CSys3PS : public CBox3View
{
    VX_DECLARE_CLASS(CSys3PS)
public:
    CSys3PS();
};

class CSys3PSP : public CBox3View
{
    VX_DECLARE_CLASS(CSys3PSP)
public:
    CSys3PSP();
};
