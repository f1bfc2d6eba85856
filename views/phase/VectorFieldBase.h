#pragma once
// What the Vector Field views of the three kinds share: the 2-D base on the vector-field limits
// (page, zoom, pan, reset, Set Limits, rubber band), the spin strip at the top left (the spun
// parameter's name, an up-down control moving it in 100 steps through its range, its value),
// the texts round the plot, the track pen's legend box, and the rule that the view does not
// follow a run: while the model runs it keeps its picture, ignores the document's updates and
// greys its controls (it looks at the run state a few times a second, since a run that goes on
// from where it stopped tells the views nothing), and the run's end restores them.
//
// A spin step or an accepted value writes the model (VectorFieldSpin.h) and calls Spun(),
// where the view makes its pictures stale and computes them again before it is repainted.
#include "platform/Controls.h"
#include "views/base/2DView.h"
#include "views/phase/VectorFieldSpin.h"

class CVectorFieldBase : public C2DView
{
    VX_DECLARE_CLASS(CVectorFieldBase)
public:
    // The controls of the strip.
    static constexpr UINT IDC_VF_SPIN_BUDDY = 2008, IDC_VF_SPIN_VALUE = 2009, IDC_VF_SPIN = 2010,
                          IDC_VF_SPIN_PARAM = 2011;

    CVectorFieldBase(PlotDescription description, bool spinsForcing);
    ~CVectorFieldBase() override;

    void OnInitialUpdate() override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;

    // The spun parameter's name, value and position in the strip, without a spin step.
    void UpdateSpinControls();
    // Enter in the name edit, Enter in the value edit, a change of the up-down's position.
    void OnEnMaxtextVfSpinParam();
    void OnEnMaxtextVfSpinValue();
    void OnEnChangeVfSpinBuddy();

    const CSpinModel& SpinModel() const { return m_spin; }
    CEdit m_editParam, m_editValue, m_editBuddy;
    CSpinButtonCtrl m_spinCtrl;
    bool m_bSkipSpinChange = false;
    CRect m_rcParamLine; // the parameters' line over the plot, repainted after a spin step

    // The track pen from its legend box, item 0, which every Vector Field has (the views with
    // curves add theirs).
    virtual void EditLegendStyle(int nItem);

protected:
    // The model's a, b, c, d, af, pa or vector-field time changed by spinning.
    virtual void Spun() = 0;
    // The model itself changed (seen by an update): results discarded.
    virtual void ModelChanged() = 0;
    // The strip's controls (and any others) usable or greyed.
    virtual void EnableControls(bool bEnable);
    // The model runs: the view is left as it is.
    bool Running() const;
    // The stock metrics of the strip: the height of a control and the width of a character.
    int StripHeight() const { return m_nStripH; }
    int CharWidth() const { return m_nCharW; }

    // A run starts without telling the views: the view looks a few times a second.
    void OnTimer(UINT nIDEvent) override;
    void OnDestroy() override;
    // The controls follow the model's run state.
    void FollowRunState();
    void TakeSettings(const CModelCore& s) override;
    bool OnOwnHint(LPARAM lHint) override;
    void DrawNewSample(int) override {}
    // The left margin's texts with the initial values given, the axis names, the track box and
    // the equations; the spin range under the strip on screen.
    void DrawVectorFieldMargins(CDC* pDC, const std::vector<double>& initial);

private:
    void CreateStrip();
    // The spun parameter's value in the value edit, with the digits of its kind.
    void ShowSpinValue(const CModelCore& s);
    // A refused name or value: its message, then the value edit with its text selected.
    void RefuseEntry(const std::string& message);
    // A spin step, a chosen parameter or an accepted value changed the model: seen, then Spun().
    void AfterSpin();
    void DrawSpinRange(CDC* pDC);
    // Something of the model beyond the spun values changed since the last look.
    bool ModelDiffers(const CModelCore& s);

    CSpinModel m_spin;
    int m_nStripH = 22, m_nCharW = 7;
    bool m_bEnabled = true;
    // What the view last took of the model, to tell a change of the model from a spin.
    std::vector<double> m_seen;
    std::vector<std::string> m_seenTexts;
};
