#pragma once
// Pumps events and posted messages until pred() holds; false when it still does not hold after
// a minute, or the limit given (a hang guard, not a timing check: a count of passes ends early on
// a busy machine, where the other thread may not have run yet).
#include "platform/Messages.h"

#include <QCoreApplication>

#include <chrono>

template <class Pred>
bool PumpUntil(Pred pred, std::chrono::seconds limit = std::chrono::minutes(1))
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
