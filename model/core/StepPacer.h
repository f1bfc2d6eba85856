#pragma once
// Paces the steps of an animated run: step n is due at start + n delays, so the time spent
// between the pauses (storing a row, the views drawing it) does not add up over a long run.
// No Qt here.
#include <chrono>

class CStepPacer
{
public:
    using Clock = std::chrono::steady_clock;
    // A run held up longer than this (a modal box, a slow repaint) starts pacing again from
    // then rather than racing through the steps it missed.
    static constexpr std::chrono::milliseconds kCatchUpLimit{1000};

    CStepPacer(int delayMs, Clock::time_point start)
        : m_delay(std::chrono::milliseconds(delayMs)), m_due(start)
    {
    }

    // When the next step is due, seen at now.
    Clock::time_point Next(Clock::time_point now)
    {
        m_due += m_delay;
        if (now - m_due > kCatchUpLimit)
            m_due = now;
        return m_due;
    }

private:
    Clock::duration m_delay;
    Clock::time_point m_due;
};
