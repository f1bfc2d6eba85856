#include "views/phase/PassProgress.h"

#include "model/ProgressBarWnd.h"
#include "model/RunProtocol.h"
#include "platform/WinApp.h"

namespace {
constexpr std::chrono::milliseconds kShowAfter{250};
}

CPassProgress::CPassProgress(const char* title)
    : m_title(title), m_start(std::chrono::steady_clock::now())
{
}

CPassProgress::~CPassProgress()
{
    CProgressBarWnd::Close(m_hwnd);
}

void CPassProgress::ProgressStep()
{
    ++m_nSteps;
    if (!m_hwnd) {
        if (std::chrono::steady_clock::now() - m_start < kShowAfter)
            return;
        m_hwnd = CProgressBarWnd::Open(m_title, AfxGetMainWnd());
        // The steps made before the window opened.
        for (int i = 1; i < m_nSteps; ++i)
            ::SendMessage(m_hwnd, WM_PROGRESS_STEP, 0, 0);
    }
    ::SendMessage(m_hwnd, WM_PROGRESS_STEP, 0, 0);
}
