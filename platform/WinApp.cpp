#include "platform/WinApp.h"

#include "platform/Application.h"
#include "platform/Dialog.h"
#include "platform/DocTemplate.h"
#include "platform/Document.h"
#include "platform/FileNames.h"
#include "platform/Frame.h"
#include "platform/Help.h"
#include "platform/Latin1.h"
#include "platform/ListChoice.h"
#include "platform/Messages.h"
#include "platform/PaintingThreads.h"
#include "platform/Resources.h"
#include "platform/base/MemoryReserve.h"
#include "platform/base/NoMemory.h"
#include "platform/base/ThreadMemory.h"

#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QScreen>
#include <QSettings>
#include <QStyle>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <thread>
#include <vector>

VX_IMPLEMENT_CLASS(CWinApp, CCmdTarget)

namespace {
CWinApp* g_pApp = nullptr;

// The parent of the program's modal windows; none before the main window is made.
QWidget* MainWidget()
{
    return AfxGetMainWnd() ? AfxGetMainWnd()->GetWidget() : nullptr;
}

// The box's buttons in the order of its type's name.
std::vector<QMessageBox::StandardButton> ButtonsOf(unsigned type)
{
    switch (type & 0x0F) {
    case MB_OKCANCEL:
        return {QMessageBox::Ok, QMessageBox::Cancel};
    case MB_YESNO:
        return {QMessageBox::Yes, QMessageBox::No};
    case MB_YESNOCANCEL:
        return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    default:
        return {QMessageBox::Ok};
    }
}

int ShowQtMessageBox(const std::string& text, unsigned type)
{
    QMessageBox box(MainWidget());
    box.setWindowTitle(Latin1(AfxGetApp() ? AfxGetApp()->m_strAppName : std::string()));
    box.setText(Latin1(text));
    switch (type & 0xF0) {
    case MB_ICONSTOP:
        box.setIcon(QMessageBox::Critical);
        break;
    case MB_ICONQUESTION:
        box.setIcon(QMessageBox::Question);
        break;
    case MB_ICONEXCLAMATION:
        box.setIcon(QMessageBox::Warning);
        break;
    case MB_ICONINFORMATION:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    const std::vector<QMessageBox::StandardButton> buttons = ButtonsOf(type);
    QMessageBox::StandardButtons all;
    for (const QMessageBox::StandardButton b : buttons)
        all |= b;
    box.setStandardButtons(all);
    // The one the call names, with the focus: a theme that orders the buttons its own way
    // (GNOME's, Cancel first) would make its first one the default.
    const std::size_t named = (type & (MB_DEFBUTTON2 | MB_DEFBUTTON3)) >> 8;
    box.setDefaultButton(buttons[std::min(named, buttons.size() - 1)]);
    // In the program's own loop, so that a box left by memory running out is still closed.
    RunModalLoop(box);
    QAbstractButton* clicked = box.clickedButton();
    switch (clicked ? box.standardButton(clicked) : QMessageBox::NoButton) {
    case QMessageBox::Cancel:
        return IDCANCEL;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    case QMessageBox::Ok:
        return IDOK;
    default: // closed with Escape or the title bar
        return DismissedAnswer(type);
    }
}
} // namespace

CWinApp* AfxGetApp()
{
    return g_pApp;
}

CWnd* AfxGetMainWnd()
{
    return g_pApp ? g_pApp->m_pMainWnd : nullptr;
}

BOOL AfxLoadMainToolBar(UINT nIDResource)
{
    auto* frame = dynamic_cast<CMDIFrameWnd*>(AfxGetMainWnd());
    CToolBar* bar = frame ? frame->GetMainToolBar() : nullptr;
    return bar ? bar->LoadToolBar(nIDResource) : FALSE;
}

int AfxMessageBox(const std::string& text, UINT nType)
{
    return ShowMessageBox(text, nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType)
{
    return ShowMessageBox(vx::res::LoadString(nIDPrompt), nType);
}

// The platform sends the new pointer to the display at once: no event need be processed.
CWaitCursor::CWaitCursor()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

CWaitCursor::~CWaitCursor()
{
    QGuiApplication::restoreOverrideCursor();
}

namespace {
// What a box loads the first time it shows (its icons from the theme) is loaded at start-up, and
// the memory reserve taken, for a box shown when memory has run out.
void PrepareMessageBoxes()
{
    QStyle* style = QApplication::style();
    const int size = style->pixelMetric(QStyle::PM_MessageBoxIconSize);
    for (const QStyle::StandardPixmap icon :
         {QStyle::SP_MessageBoxCritical, QStyle::SP_MessageBoxQuestion,
          QStyle::SP_MessageBoxWarning, QStyle::SP_MessageBoxInformation})
        style->standardIcon(icon).pixmap(QSize(size, size), qApp->devicePixelRatio());
    TakeMemoryReserve();
}
} // namespace

void InstallMessageBoxHook()
{
    PrepareMessageBoxes();
    SetMessageBoxHook([](const std::string& text, unsigned type) {
        int result = IDCANCEL;
        bool noMemory = false;
        // Memory that ran out in the box goes to the caller, on its own thread.
        RunOnUiThread([&] {
            try {
                result = ShowQtMessageBox(text, type);
            } catch (const std::bad_alloc&) {
                noMemory = true;
            }
        });
        if (noMemory)
            throw std::bad_alloc();
        return result;
    });
}

namespace {
FileDialogHook& FileDialogAnswer()
{
    static FileDialogHook hook;
    return hook;
}
} // namespace

FileDialogHook SetFileDialogHook(FileDialogHook hook)
{
    return std::exchange(FileDialogAnswer(), std::move(hook));
}

std::string AfxPromptFileName(bool bOpen, const std::string& title, const std::string& filter,
                              const std::string& initial)
{
    if (const FileDialogHook& hook = FileDialogAnswer())
        return hook(bOpen, filter);
    return ShowFileDialog(bOpen, Latin1(title), PathToQt(initial), Latin1(filter));
}

std::string ShowFileDialog(bool bOpen, const QString& title, const QString& initial,
                           const QString& filter)
{
    return ShowModal(
        [&] {
            QFileDialog dlg(MainWidget(), title, initial, filter);
            dlg.setAcceptMode(bOpen ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
            dlg.setFileMode(bOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
            if (RunModalLoop(dlg) != QDialog::Accepted)
                return std::string();
            return PathFromQt(dlg.selectedFiles().value(0));
        },
        std::string());
}

namespace {
// Before any thread starts.
[[maybe_unused]] const bool g_threadsKeptSmall = (KeepThreadsSmall(), true);

// What ordinary work takes beyond the start (a model of each kind made, run, its views shown
// and saved): the memory reserve, the models and their tables, dialogs and Qt's own, besides
// the threads and the windows' pictures counted below.
constexpr std::size_t kRoomToWork = 64u << 20;
// The threads of that work besides a scan's one a core: the run's, the painting pool's two and
// a file dialog's.
constexpr std::size_t kWorkThreads = 4;
// Pictures of the screen's size that its windows keep (each view's and the window system's).
constexpr std::size_t kScreenPictures = 10;

// Less than this, and even the box that says so could not show.
constexpr std::size_t kRoomForABox = 16u << 20;

// The address space that ordinary work needs on this machine: with less, a command runs out of
// memory where Qt cannot go on (a window's backing store, a file dialog's thread).
std::size_t RoomToWork()
{
    const std::size_t threads = kWorkThreads + std::max(1u, std::thread::hardware_concurrency());
    std::size_t screen = 0;
    for (const QScreen* s : QGuiApplication::screens()) {
        const QSize px = s->size() * s->devicePixelRatio();
        screen = std::max(screen, std::size_t(px.width()) * std::size_t(px.height()) * 4);
    }
    // Each stack with its guard and its thread's own bookkeeping.
    return kRoomToWork + threads * (kThreadStackBytes + (64u << 10)) + kScreenPictures * screen;
}

// Says so and ends; with a box only where Qt's own threads began, as a box waits on them.
[[noreturn]] void CannotStart(bool withBox)
{
    std::fprintf(stderr, "%s\n", kNoMemoryText);
    if (withBox && AddressSpaceFree(kRoomForABox))
        ShowQtMessageBox(kNoMemoryText, MB_OK | MB_ICONSTOP);
    AfxExitProcess(1);
}
} // namespace

int AfxWinMain(int argc, char** argv)
{
    vx::StartingUp(true);
    std::unique_ptr<QApplication> own;
    if (!QCoreApplication::instance())
        own = std::make_unique<CApplication>(argc, argv);
    CWinApp* app = AfxGetApp();
    if (!app)
        return 1;
    app->SetCommandLine(std::vector<std::string>(argv + std::min(argc, 1), argv + argc));
    // Checked before the message boxes' icons are loaded: Qt's loading does not survive running
    // out of memory. The program starts only where it can then work.
    // A thread of Qt's other than the painting pool's that could not start (the display's event
    // reader) leaves the program deaf to the user.
    const bool qtThreadsBegan = !vx::OtherQtThreadFailed();
    if (!qtThreadsBegan || vx::NoPaintingThreadBegan() || !AddressSpaceFree(RoomToWork()))
        CannotStart(qtThreadsBegan);
    InstallMessageBoxHook();
    int code = 1;
    const bool started = app->InitInstance();
    vx::StartingUp(false);
    if (started)
        code = app->Run();
    else {
        if (app->m_pMainWnd)
            app->m_pMainWnd->DestroyWindow();
        app->ExitInstance();
    }
    // Only an application of our own is destroyed here.
    if (own)
        vx::EndIfPaintingThreadNeverBegan(code);
    return code;
}

void vx::KeepForGood(const void* p) noexcept
{
    try {
        static auto* kept = new std::vector<const void*>; // not even destroyed at the exit
        kept->push_back(p);
    } catch (const std::bad_alloc&) {
    }
}

void AfxExitProcess(int nExitCode)
{
    std::fflush(nullptr);
    std::_Exit(nExitCode);
}

CWinApp::CWinApp(const char* lpszAppName) : m_strAppName(lpszAppName ? lpszAppName : "")
{
    g_pApp = this;
    MapCommand(ID_FILE_NEW, &CWinApp::OnFileNew);
    MapCommand(ID_FILE_OPEN, &CWinApp::OnFileOpen);
    MapCommand(ID_FILE_PRINT_SETUP, &CWinApp::OnFilePrintSetup);
    MapCommand(ID_APP_EXIT, &CWinApp::OnAppExit);
    MapCommandRange(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE4, &CWinApp::OnOpenRecentFile);
    MapUpdateRange(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE4, &CWinApp::OnUpdateRecentFileMenu);
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    SaveStdProfileSettings();
    return 0;
}

BOOL CWinApp::OnIdle(LONG lCount)
{
    if (lCount != 0)
        return FALSE;
    if (auto* f = dynamic_cast<CMDIFrameWnd*>(m_pMainWnd))
        f->OnIdleUpdateCmdUI();
    if (m_bShellOpen && m_pMainWnd && !m_shellOpenFiles.empty()) {
        const std::vector<std::string> files = std::exchange(m_shellOpenFiles, {});
        for (const std::string& path : files)
            OpenDocumentFile(path.c_str());
    }
    return TRUE;
}

int CWinApp::Run()
{
    bool inIdle = false;
    QMetaObject::Connection idle;
    if (auto* d = QAbstractEventDispatcher::instance()) {
        idle = QObject::connect(d, &QAbstractEventDispatcher::aboutToBlock, [this, &inIdle] {
            if (inIdle)
                return; // a modal loop inside an idle handler
            inIdle = true;
            vx::RunHandler([this] {
                for (LONG n = 0; n < 16 && OnIdle(n); ++n) {
                }
            });
            inIdle = false;
        });
    }
    QApplication::exec();
    QObject::disconnect(idle);
    return ExitInstance();
}

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate)
{
    m_templates.emplace_back(pTemplate);
}

std::vector<CDocTemplate*> CWinApp::GetDocTemplates() const
{
    std::vector<CDocTemplate*> list;
    for (const auto& t : m_templates)
        list.push_back(t.get());
    return list;
}

CDocument* CWinApp::OpenDocumentFile(const char* lpszFileName)
{
    if (!lpszFileName || !*lpszFileName)
        return nullptr;
    CDocTemplate* best = nullptr;
    CDocTemplate::Confidence bestMatch = CDocTemplate::noAttempt;
    for (CDocTemplate* t : GetDocTemplates()) {
        CDocument* open = nullptr;
        const auto match = t->MatchDocType(lpszFileName, open);
        if (match == CDocTemplate::yesAlreadyOpen) {
            // Show the document that is open already.
            for (CView* v : open->GetViews())
                if (auto* f = dynamic_cast<CMDIChildWnd*>(v->GetParentFrame())) {
                    f->MDIActivate();
                    break;
                }
            return open;
        }
        if (match > bestMatch) {
            bestMatch = match;
            best = t;
        }
    }
    return best ? best->OpenDocumentFile(lpszFileName) : nullptr;
}

BOOL CWinApp::SaveAllModified()
{
    for (CDocTemplate* t : GetDocTemplates())
        if (!t->SaveAllModified())
            return FALSE;
    return TRUE;
}

void CWinApp::CloseAllDocuments(BOOL bEndSession)
{
    for (CDocTemplate* t : GetDocTemplates())
        t->CloseAllDocuments(bEndSession);
}

void CWinApp::SetRegistryKey(const char* lpszRegistryKey)
{
    m_strRegistryKey = lpszRegistryKey ? lpszRegistryKey : "";
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU)
{
    m_nMaxMRU = nMaxMRU;
    m_recent.clear();
    if (m_strRegistryKey.empty())
        return;
    QSettings settings(Latin1(m_strRegistryKey), Latin1(m_strAppName));
    settings.beginGroup("Recent File List");
    for (UINT i = 1; i <= nMaxMRU; ++i) {
        const QString path = settings.value(QString("File%1").arg(i)).toString();
        if (!path.isEmpty())
            m_recent.push_back(PathFromQt(path));
    }
}

void CWinApp::SaveStdProfileSettings()
{
    if (m_strRegistryKey.empty() || m_nMaxMRU == 0)
        return;
    QSettings settings(Latin1(m_strRegistryKey), Latin1(m_strAppName));
    settings.beginGroup("Recent File List");
    for (UINT i = 1; i <= m_nMaxMRU; ++i) {
        const QString key = QString("File%1").arg(i);
        if (i <= m_recent.size())
            settings.setValue(key, PathToQt(m_recent[i - 1]));
        else
            settings.remove(key);
    }
}

void CWinApp::AddToRecentFileList(const std::string& path)
{
    if (m_nMaxMRU == 0 || path.empty())
        return;
    std::error_code ec;
    std::string full = std::filesystem::absolute(path, ec).lexically_normal().string();
    if (ec)
        full = path;
    std::erase(m_recent, full);
    m_recent.insert(m_recent.begin(), full);
    if (m_recent.size() > m_nMaxMRU)
        m_recent.resize(m_nMaxMRU);
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo)
{
    bool shellOpen = false;
    for (const std::string& a : m_args) {
        if (a == "--open") {
            shellOpen = true;
        } else if (shellOpen) {
            m_shellOpenFiles.push_back(a);
        } else if (!a.empty() && a[0] != '-' && rCmdInfo.m_strFileName.empty()) {
            rCmdInfo.m_nShellCommand = CCommandLineInfo::FileOpen;
            rCmdInfo.m_strFileName = a;
        }
    }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo)
{
    switch (rCmdInfo.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
        OnFileNew();
        return TRUE;
    case CCommandLineInfo::FileOpen:
        return OpenDocumentFile(rCmdInfo.m_strFileName.c_str()) != nullptr;
    default:
        return TRUE;
    }
}

void CWinApp::WinHelp(DWORD dwData, UINT nCmd)
{
    vx::help::Show(dwData, nCmd);
}

QPrinter* CWinApp::GetPrinter()
{
    if (!m_pPrinter)
        m_pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return m_pPrinter.get();
}

void CWinApp::SetPrinter(std::unique_ptr<QPrinter> pPrinter)
{
    // A printer still busy with a job that could not be ended is set aside, never destroyed:
    // that would end the job again, in a destructor.
    if (m_pPrinter && m_pPrinter->paintingActive())
        vx::KeepForGood(m_pPrinter.release());
    m_pPrinter = std::move(pPrinter);
}

CDocTemplate* CWinApp::ChooseNewTemplate()
{
    QStringList names;
    std::vector<CDocTemplate*> shown;
    for (CDocTemplate* t : GetDocTemplates()) {
        const std::string name = t->GetDocString(CDocTemplate::fileNewName);
        if (!name.empty()) {
            names << Latin1(name);
            shown.push_back(t);
        }
    }
    if (shown.empty())
        return nullptr;
    const int row = vx::ChooseFromList(MainWidget(), "New", "&New", names, 0);
    return row < 0 ? nullptr : shown[size_t(row)];
}

void CWinApp::OnFileNew()
{
    if (m_templates.empty())
        return;
    CDocTemplate* t = m_templates.size() == 1 ? m_templates.front().get() : ChooseNewTemplate();
    if (t)
        t->OpenDocumentFile(nullptr);
}

std::string CWinApp::GetOpenFilter() const
{
    std::string filter;
    for (CDocTemplate* t : GetDocTemplates()) {
        const std::string f = t->GetDocString(CDocTemplate::filterName);
        if (!f.empty())
            filter += f + ";;";
    }
    return filter + "All Files (*)";
}

void CWinApp::OnFileOpen()
{
    const std::string path = AfxPromptFileName(true, "Open", GetOpenFilter());
    if (!path.empty())
        OpenDocumentFile(path.c_str());
}

void CWinApp::OnFilePrintSetup()
{
    ShowModal(
        [this] {
            QPageSetupDialog dlg(GetPrinter(), MainWidget());
            return dlg.exec();
        },
        0);
}

void CWinApp::OnAppExit()
{
    if (m_pMainWnd)
        m_pMainWnd->SendMessage(WM_CLOSE);
}

void CWinApp::OnOpenRecentFile(UINT nID)
{
    const size_t index = nID - ID_FILE_MRU_FILE1;
    if (index >= m_recent.size())
        return;
    const std::string path = m_recent[index];
    if (!OpenDocumentFile(path.c_str()))
        std::erase(m_recent, path);
}

void CWinApp::OnUpdateRecentFileMenu(CCmdUI* pCmdUI)
{
    const size_t index = pCmdUI->m_nID - ID_FILE_MRU_FILE1;
    if (index < m_recent.size()) {
        std::string text(1, '&');
        text += std::to_string(index + 1);
        text += ' ';
        for (char c : PathText(m_recent[index])) {
            if (c == '&')
                text += '&'; // a literal "&" in a menu text
            text += c;
        }
        pCmdUI->SetText(text);
        pCmdUI->Show(TRUE);
        pCmdUI->Enable(TRUE);
    } else if (index == 0) {
        pCmdUI->SetText("Recent File");
        pCmdUI->Show(TRUE);
        pCmdUI->Enable(FALSE);
    } else {
        pCmdUI->Show(FALSE);
    }
}
