#pragma once
// What the Full Orbit and Orbit Sections views share: a model's run on the forcing-phase
// cylinder of the 3-D base (time as the angle af t, x as the radius, the kind's second variable
// as the height) with the texts around the plot: the initial values and the time base in the
// left margin, the working limits at the plot's corners, the equations above the plot and the
// imported file's name below it. One design for the Newtonian, one- and two-variable kinds.
#include "views/base/3DView.h"

// A cylinder view of a kind: its view index (kViewFullOrbit or kViewOrbitSections) gives its
// limit block, angles, pan, title and limits hint, the kind its height variable.
Plot3DDescription CylinderDescription(ModelView view, SystemKind kind);

class CCylinderView : public C3DView
{
    VX_DECLARE_CLASS(CCylinderView)
public:
    CCylinderView(Plot3DDescription description, SystemKind kind);

    SystemKind Kind() const { return m_kind; }
    // The height variable's table column: x', or y in the two-variable kind.
    int HeightColumn() const { return Description().columns[1]; }

    // Digits of the radius and height variables' working ranges and of dt.
    int m_nDigitsX = 4, m_nDigitsV = 4, m_nDigitsT = 4;

protected:
    void DrawMargins(CDC* pDC) override;
    void TakeSettings(const CModelCore& s) override;
    // The read-outs: t with dt's digits, x and the others with their working ranges'.
    int CursorDigits(int column) const override;
    // The imported file's name sits on this colour.
    COLORREF ImportNameColor(const CModelCore& s) const;

private:
    void DrawCornerLimits(CDC* pDC);

    SystemKind m_kind;
};
