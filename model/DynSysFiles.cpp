// The model document's data-file and picture commands: File/Export, File/Import and
// File/Save Image.
#include "model/DynSys.h"

#include "model/ImageFile.h"
#include "model/ProgressBarWnd.h"
#include "model/RunProtocol.h"
#include "model/files/DataImport.h"
#include "platform/Frame.h"
#include "platform/Messages.h"
#include "platform/WinApp.h"
#include "platform/base/Archive.h"
#include "platform/base/NoMemory.h"

#include <QImage>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <system_error>

namespace {

const char* const kNoExportThread = "Could not create export thread.";

CMDIChildWnd* ActiveChild()
{
    auto* pMain = dynamic_cast<CMDIFrameWnd*>(AfxGetMainWnd());
    return pMain ? pMain->MDIGetActive() : nullptr;
}

} // namespace

void AddFileCommands(std::vector<vx::res::MenuItem>& items)
{
    auto at = items.begin();
    while (at != items.end() && at->id != ID_FILE_SAVE_AS)
        ++at;
    if (at != items.end())
        ++at;
    items.insert(at, {{"Save &Image", ID_FILE_SAVE_IMAGE, {}},
                      vx::res::Separator(),
                      {"&Export...", ID_FILE_EXPORT, {}},
                      {"I&mport...", ID_FILE_IMPORT, {}}});
}

void CDynSys::MapFileCommands()
{
    MapCommand(ID_FILE_EXPORT, &CDynSys::OnFileExport);
    MapUpdate(ID_FILE_EXPORT, &CDynSys::OnUpdateFileExport);
    MapCommand(ID_FILE_IMPORT, &CDynSys::OnFileImport);
    MapCommand(ID_FILE_SAVE_IMAGE, &CDynSys::OnFileSaveImage);
    MapUpdate(ID_FILE_SAVE_IMAGE, &CDynSys::OnUpdateFileSaveImage);
    // Exit is greyed by the same rule: the program does not end under a running model.
    MapUpdate(ID_APP_EXIT, &CDynSys::OnUpdateFileSaveImage);
}

// --- export --------------------------------------------------------------------------------

void CDynSys::OnFileExport()
{
    ExportData();
}

void CDynSys::OnUpdateFileExport(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_bHaveData != 0);
}

void CDynSys::StopExport()
{
    if (m_pExpThread)
        m_pExpThread->Stop();
    m_pExpThread.reset();
    CProgressBarWnd::Close(std::exchange(m_hwndExportProgress, nullptr));
}

BOOL CDynSys::ExportData()
{
    const DataFileKind& kind = DataKind(m_kind);
    const std::string path = AfxPromptFileName(false, "Save As", kind.filter, kind.pattern);
    if (path.empty())
        return FALSE; // an export that is still writing goes on
    StopExport();
    auto params = std::make_unique<EXPORTPARAMS>();
    if (!MakeExportParams(*this, path, *params)) {
        AfxMessageBox(kNoExportThread);
        return FALSE;
    }
    auto pFile = std::make_unique<CFileWriter>();
    if (!pFile->Open(path)) {
        AfxMessageBox(DataFileError(path, pFile->Error()), MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    auto pThread =
        std::make_unique<CExpThread>(std::move(*params), std::move(pFile), Info().pExportCount);
    params.reset();
    m_hwndExportProgress = CProgressBarWnd::Open("File Export Progress", AfxGetMainWnd());
    pThread->m_hwndProgress = m_hwndExportProgress;
    try {
        pThread->Start();
    } catch (const std::system_error&) {
        CProgressBarWnd::Close(std::exchange(m_hwndExportProgress, nullptr));
        AfxMessageBox(kNoExportThread);
        return FALSE;
    }
    m_pExpThread = std::move(pThread);
    return TRUE;
}

// --- import --------------------------------------------------------------------------------

void CDynSys::OnFileImport()
{
    const DataFileKind& kind = DataKind(m_kind);
    const std::string path = AfxPromptFileName(true, "Open", kind.filter, kind.pattern);
    if (path.empty())
        return;
    // A pipe or a device would block the window or never end: only a plain file is read.
    const int fd = OpenRegularFile(path);
    std::FILE* pFile = fd >= 0 ? ::fdopen(fd, "rb") : nullptr;
    struct stat st = {};
    if (pFile == nullptr || ::fstat(fd, &st) != 0) {
        if (pFile != nullptr)
            std::fclose(pFile);
        else if (fd >= 0)
            ::close(fd);
        AfxMessageBox("Unable to open selected file");
        return;
    }
    HWND hwndProgress = nullptr;
    ImportProgress progress;
    progress.begin = [&hwndProgress](long long) {
        hwndProgress = CProgressBarWnd::Open("File Import Progress", AfxGetMainWnd());
    };
    progress.step = [&hwndProgress] { SendMessage(hwndProgress, WM_PROGRESS_STEP, 0); };
    // The model takes the rows only once the reading ends, so memory that runs out in the
    // reading itself (not in the rows, which say so) leaves the model as it was.
    ImportOutcome outcome = ImportOutcome::NotRead;
    TellIfNoMemory([&] {
        CDataLineReader reader(pFile);
        outcome = ImportDataFile(*this, reader, st.st_size, path, progress);
    });
    CProgressBarWnd::Close(hwndProgress);
    std::fclose(pFile);
    if (outcome == ImportOutcome::Imported)
        UpdateAllViews(nullptr, HINT_RESET);
}

// --- Save Image ----------------------------------------------------------------------------

void CDynSys::OnFileSaveImage()
{
    CMDIChildWnd* pChild = ActiveChild();
    if (pChild == nullptr)
        return;
    CRect rect;
    pChild->GetClientRect(&rect);
    // Before any dialog opens, so the picture shows the view unobscured.
    if (TellIfNoMemory([&] { CaptureViewBitmap(rect); }))
        SaveImageAs(m_pImageBitmap.get());
}

void CDynSys::OnUpdateFileSaveImage(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(!m_bRunning);
}

void CDynSys::CaptureViewBitmap(const CRect& rect)
{
    m_pImageBitmap.reset(); // its memory first
    m_pImageBitmap = GrabWindowImage(ActiveChild(), rect);
}
