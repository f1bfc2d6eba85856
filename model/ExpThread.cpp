#include "model/ExpThread.h"

#include "model/RunProtocol.h"
#include "platform/Messages.h"
#include "platform/WinApp.h"

CExpThread::CExpThread(EXPORTPARAMS&& params, std::unique_ptr<CFileWriter> pFile,
                       std::atomic<int>* pCounter)
    : m_params(std::move(params)), m_pFile(std::move(pFile)), m_pCounter(pCounter)
{
}

CExpThread::~CExpThread()
{
    Stop();
}

void CExpThread::Start()
{
    // Counted before it runs, so it cannot leave the counter before it has entered it.
    ++*m_pCounter;
    try {
        m_worker.Start([this](const std::atomic<bool>& bStop) { WriteDataFile(bStop); },
                       [this] {
                           // Told by the worker; the export ends as one that failed, and no
                           // piece of its file stays beside the target.
                           const CLeaving leaving{*this};
                           m_pFile->Discard();
                           CloseProgress();
                       });
    } catch (...) {
        Leave();
        throw;
    }
}

void CExpThread::Stop()
{
    m_worker.Stop();
}

void CExpThread::Wait()
{
    m_worker.Join();
}

void CExpThread::WriteDataFile(const std::atomic<bool>& bStop)
{
    if (g_exportThreadStartHook)
        g_exportThreadStartHook(bStop);
    const HWND hwndProgress = m_hwndProgress;
    m_result = ::WriteDataFile(m_params, *m_pFile, bStop,
                               [hwndProgress] { PostMessage(hwndProgress, WM_PROGRESS_STEP, 0); });
    CloseProgress();
    if (!m_result.ok) {
        PostToUiThread(
            [text = m_result.strError] { AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION); });
    }
    Leave();
}

void CExpThread::CloseProgress()
{
    PostDespiteNoMemory([this] { PostMessage(m_hwndProgress, WM_PROGRESS_STEP, 1); },
                        [this] { return m_worker.StopRequested(); });
}

void CExpThread::Leave()
{
    --*m_pCounter;
    m_bFinished = true;
}
