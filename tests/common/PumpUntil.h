#pragma once
// Pumps events and posted messages until pred() holds; false when it still does not hold after
// four minutes, or the limit given. A hang guard, not a timing check: a scan under the sanitizers
// on a busy machine can take more than a minute, and a count of passes ends early where the other
// thread has not run yet. Four minutes stay under ctest's five, so that a hang is told here.
#include "platform/Messages.h"

#include <QCoreApplication>

#include <chrono>

constexpr std::chrono::seconds kWorkGuard = std::chrono::minutes(4);

template <class Pred> bool PumpUntil(Pred pred, std::chrono::seconds limit = kWorkGuard)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        vx::DeliverPostedMessages();
    }
    return true;
}

// The program's answer to a key or a click: it comes at once, so a test that waits for it gives
// up after seconds, not the guard's minutes, and says what did not happen.
constexpr std::chrono::seconds kAnswerWait{10};

template <class Pred> bool AnswerCame(Pred pred)
{
    return PumpUntil(pred, kAnswerWait);
}
