#pragma once
// The progress window of a phase-plane pass on the user-interface thread. It opens only when
// the pass has gone on for a quarter of a second, so a pass that a spin step repeats many times
// a second shows no window; it closes with this object.
#include "model/phase/PlaneField.h"
#include "platform/Types.h"

#include <chrono>

class CPassProgress final : public IPassProgress
{
public:
    explicit CPassProgress(const char* title);
    ~CPassProgress() override;
    CPassProgress(const CPassProgress&) = delete;
    CPassProgress& operator=(const CPassProgress&) = delete;

    void ProgressStep() override;

private:
    const char* m_title;
    std::chrono::steady_clock::time_point m_start;
    HWND m_hwnd = nullptr;
    int m_nSteps = 0;
};
