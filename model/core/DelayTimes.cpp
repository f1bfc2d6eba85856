#include "model/core/DelayTimes.h"

void UpdateChrononAndDelays(CModelSettings& s)
{
    s.m_dChronon = s.m_dPeriod / s.m_nChrononsPerCycle;
    s.m_dXDelayTime = s.m_dChronon * s.m_nXDelay;
    s.m_dYDelayTime = s.m_dChronon * s.m_nYDelay;
    s.m_dZDelayTime = s.m_dChronon * s.m_nZDelay;
}
