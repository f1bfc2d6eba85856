#pragma once
// The export thread: writes one data file from its own copy of a model's rows (see
// core/DataExport.h) while the progress window that its starter opened shows how far it is.
//
// What the thread touches: its parameter block (moved in, its own), the output file, the
// running-export counter of its kind (an atomic, taken off when the file is closed) and the
// progress window's handle, which it only posts to. It never waits for the user-interface
// thread, so a close that waits for it cannot deadlock; a failure message is queued to that
// thread rather than shown from here. The starter owns the object; destroying it stops the
// writer at a row boundary and joins it.
#include "model/files/DataExport.h"
#include "platform/Types.h"
#include "platform/WorkerThread.h"
#include "platform/base/Archive.h"

#include <atomic>
#include <functional>
#include <memory>

class CExpThread
{
public:
    // Takes the block and the file opened at its path; pCounter is the running-export counter
    // of the block's kind.
    CExpThread(EXPORTPARAMS&& params, std::unique_ptr<CFileWriter> pFile,
               std::atomic<int>* pCounter);
    ~CExpThread();
    CExpThread(const CExpThread&) = delete;
    CExpThread& operator=(const CExpThread&) = delete;

    // Counts the export and starts the thread; throws std::system_error (uncounted) when the
    // thread cannot be made.
    void Start();
    // Stops the writer before its next row and waits for it: the file keeps the whole lines
    // written so far. The thread takes itself off the counter.
    void Stop();
    // Waits for the writer to finish the whole file.
    void Wait();
    // Whether the thread has closed its file and left the counter.
    bool Finished() const { return m_bFinished.load(); }
    // The result, once Finished.
    const ExportResult& Result() const { return m_result; }

    HWND m_hwndProgress = nullptr; // written before Start

private:
    // Takes the export off the counter when it goes, however the thread's end goes.
    struct CLeaving
    {
        CExpThread& owner;
        ~CLeaving() { owner.Leave(); }
    };

    void WriteDataFile(const std::atomic<bool>& bStop);
    // The progress window closes on this message alone: it waits out a shortage of memory,
    // unless the export is stopped.
    void CloseProgress();
    // Takes the export off the counter and marks it finished.
    void Leave();

    EXPORTPARAMS m_params;
    std::unique_ptr<CFileWriter> m_pFile;
    std::atomic<int>* m_pCounter;
    std::atomic<bool> m_bFinished{false};
    ExportResult m_result;
    CWorkerThread m_worker; // last: joined before the members it writes go
};

// Tests: called on an export's thread before it writes the file, with its stop flag.
inline std::function<void(const std::atomic<bool>& bStop)> g_exportThreadStartHook;
