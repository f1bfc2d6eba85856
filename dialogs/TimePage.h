#pragma once
// "Time Properties": run time limit, forcing frequency, period and phase, chronons per cycle
// with the chronon size, and the delays with their lengths in time. The chronon size and the
// delay times follow every valid keystroke; the chronons per cycle reach the document at once.
#include "dialogs/ModelPage.h"

class CTimePage : public CModelPage
{
    VX_DECLARE_CLASS(CTimePage)
public:
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;

    void OnChangeChrononsPerCycle();
    void OnChangeAngFreq();
    void OnChangePeriod();
    void OnChangeDelay(int i);

    QLineEdit* m_editRunTimeLimit = nullptr;
    QLineEdit* m_editAngFreq = nullptr;
    QLineEdit* m_editPeriod = nullptr;
    QLineEdit* m_editPhase = nullptr;
    QLineEdit* m_editChrononsPerCycle = nullptr;
    QLineEdit* m_editDelay[3] = {};
    QLabel* m_stcChrononSize = nullptr;
    QLabel* m_stcDelayTime[3] = {};

protected:
    explicit CTimePage(SystemKind kind = SystemKind::Newtonian);
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void MakeControls() override;
    // The chronon size and the delay times from the working record, by the runs' formula.
    void ShowDerived() override;
    // The document's table interval; below 1 (a damaged file) it counts as 1.
    int TableInterval() const;
    // af or per, whichever was typed last; the other follows it.
    enum class Forcing
    {
        None,
        AngFreq,
        Period
    } m_lastForcing = Forcing::None;
    void SetForcing(Forcing typed, double value);
    void OnChangeForcing(Forcing typed);
};

VX_KIND_PAGE(CDS1Time, CTimePage)
VX_KIND_PAGE(CDS1NNTime, CTimePage)
VX_KIND_PAGE(CDS2Time, CTimePage)
VX_KIND_PAGE(CDS3Time, CTimePage)
