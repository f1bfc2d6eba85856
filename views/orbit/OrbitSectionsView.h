#pragma once
// The Orbit Sections view: a run cut at 2 to 15 equally spaced phases of the forcing cycle, each
// section's rows drawn as points of its own colour on the forcing-phase cylinder. The number of
// sections is typed into the "# Secs" edit (Enter) or stepped with its up-down; a click on a
// legend square picks that section's colour. One design for the Newtonian, one- and two-variable
// kinds.
#include "platform/Controls.h"
#include "views/orbit/CylinderView.h"

class COrbitSectionsView : public CCylinderView
{
    VX_DECLARE_CLASS(COrbitSectionsView)
public:
    static constexpr UINT IDC_PSOC_SECTIONS_BUDDY = 2005, IDC_PSOC_SECTIONS = 2006,
                          IDC_PSOC_SECTIONS_SPIN = 2007;

    explicit COrbitSectionsView(SystemKind kind);

    int m_nSections = 6;
    int m_nLegendLeft = 0, m_nLegendTop = 0;
    CSpinButtonCtrl m_spin;
    CEdit m_buddyEdit;    // hidden: the up-down's buddy
    CEdit m_sectionsEdit; // "# Secs"

    void OnInitialUpdate() override;

    // Enter in "# Secs", and a change of the up-down's buddy.
    void OnEnMaxtextPsocSections();
    void OnEnChangePsocSectionsBuddy();
    // The colour of section k (item k) or of imported section k (item 16 + k).
    void EditSectionColour(int item);
    // The section points of the run and of the imported table.
    void DrawRun(CDC* pDC) override;
    void DrawImportedRun(CDC* pDC) override;
    void DrawNewSample(int nRow) override;

protected:
    void DrawMargins(CDC* pDC) override;

private:
    void DrawLegend(CDC* pDC);
    void DrawLegendColumn(CDC* pDC, int left, const COLORREF* colours);
    // The squares' rows as legend items (keys after the run's items).
    void PlaceLegendItems();
    void TakeSections(int n);
    void InvalidateSections();
    CRect LegendArea() const;
    void PlotTableSections(CDC* pDC, const MappedColumns& c, const RingSpan& ring, bool search,
                           const COLORREF* colours);
};

VX_KIND_VIEW(CSys1PSOC, COrbitSectionsView, SystemKind::Newtonian)
VX_KIND_VIEW(CSys1NNPSOC, COrbitSectionsView, SystemKind::OneVariable)
VX_KIND_VIEW(CSys2PSOC, COrbitSectionsView, SystemKind::TwoVariable)
