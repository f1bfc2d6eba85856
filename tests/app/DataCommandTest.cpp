// File/Export, File/Import and File/Save Image of the model documents, reached through the real
// main window's menus.
#ifdef HAVE_VELTRIX_VIEWSGRAPH
#include "app/DialogHooks.h"
#include "app/MenuDriver.h"
#include "app/ShellFixture.h"
#include "app/TestFiles.h"
#include "common/FileSizeLimit.h"
#include "model/DynSys.h"
#include "model/core/Globals.h"
#include "model/files/DataImport.h"
#include "platform/DocTemplate.h"
#include "platform/Messages.h"
#include "platform/base/Event.h"
#include "resources/ResourceIds.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

// Holds export threads at their start until released (and, when asked, until stopped).
class ExportGate
{
public:
    explicit ExportGate(bool untilStopped = false)
    {
        g_exportThreadStartHook = [this, untilStopped](const std::atomic<bool>& bStop) {
            m_started.SetEvent();
            m_open.Lock();
            while (untilStopped && !bStop)
                std::this_thread::yield();
        };
    }
    ~ExportGate()
    {
        Open();
        g_exportThreadStartHook = nullptr;
    }
    void WaitStarted() { m_started.Lock(); }
    void Open() { m_open.SetEvent(); }

private:
    CEvent m_started{false, false}, m_open{false, true};
};

int Lines(const std::string& text)
{
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

bool EndsWithWholeLine(const std::string& text)
{
    return text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0;
}

TEST(DataCommands, ExportThenImportThroughTheFileMenu)
{
    CDynSys* doc = NewModel(IDR_SYS2TYPE);
    ASSERT_NE(doc, nullptr);
    Dialogs dialogs;
    dialogs.path = Temp("menu.d2d");
    EXPECT_FALSE(Choose(ID_FILE_EXPORT)); // no data yet
    ASSERT_TRUE(RunThroughMenu(doc));
    ASSERT_TRUE(Choose(ID_FILE_EXPORT));
    ASSERT_TRUE(Pump([doc] { return ExportEnded(doc); }));
    EXPECT_EQ(dialogs.filters, std::vector<std::string>{"Veltrix Data Files (*.d2d)"});
    const std::string text = ReadText(dialogs.path);
    EXPECT_EQ(Lines(text), 8 + doc->m_nTableCount);
    EXPECT_TRUE(EndsWithWholeLine(text));

    CDynSys* other = NewModel(IDR_SYS2TYPE);
    ASSERT_NE(other, nullptr);
    ASSERT_TRUE(Choose(ID_FILE_IMPORT));
    EXPECT_EQ(other->m_nImportRows, doc->m_nTableCount);
    EXPECT_EQ(other->m_strImportFile, "menu.d2d");
    if (const char* dir = std::getenv("VELTRIX_SHOTS"))
        StartShell()->MDIGetActive()->GetWidget()->grab().save(QString(dir) + "/import.png");
    // The last time, written to five digits, lies just past the run time.
    EXPECT_EQ(dialogs.texts, std::vector<std::string>{kImportExtendRunTime});
    EXPECT_EQ(other->m_dRunTimeLimit, other->m_arrImport[0][other->m_nImportRows - 1]);
    dialogs.texts.clear();

    // A file that is not there, and one of another kind.
    dialogs.path = Temp("missing.d2d");
    ASSERT_TRUE(Choose(ID_FILE_IMPORT));
    dialogs.path = Temp("menu.d3d");
    std::ofstream(dialogs.path)
        << "Dynamical System in 3 Variables - Data\r\n|x|\r\n0 1 2 3 4 5 6\r\n";
    ASSERT_TRUE(Choose(ID_FILE_IMPORT));
    EXPECT_EQ(dialogs.texts,
              (std::vector<std::string>{"Unable to open selected file", kImportCannotRead}));
    EXPECT_EQ(other->m_nImportRows, doc->m_nTableCount);
    other->OnCloseDocument();
    QCoreApplication::processEvents();

    // An export that cannot write its file says so once it has ended.
    dialogs.texts.clear();
    dialogs.path = "/nonexistent-folder/out.d2d";
    ASSERT_TRUE(Choose(ID_FILE_EXPORT)); // the first model is active again
    ASSERT_TRUE(Pump([&] { return !dialogs.texts.empty(); }));
    EXPECT_EQ(dialogs.texts.front().rfind("Could not write the data file /nonexistent-folder/", 0),
              0u);
    doc->OnCloseDocument();
}

// Cancel in the file dialog of a second export, and Clear Data, leave the first one writing; it
// ends with the whole file of the rows it started with.
TEST(DataCommands, CancelInTheFileDialogLeavesARunningExportAlone)
{
    CDynSys* doc = NewModel(IDR_SYS1NNTYPE);
    ASSERT_NE(doc, nullptr);
    Dialogs dialogs;
    ASSERT_TRUE(RunThroughMenu(doc));
    dialogs.path = Temp("whole.d1d");
    ASSERT_TRUE(Choose(ID_FILE_EXPORT));
    ASSERT_TRUE(Pump([doc] { return ExportEnded(doc); }));
    const int rows = doc->m_nTableCount;
    ExportGate gate;
    dialogs.path = Temp("first.d1d");
    ASSERT_TRUE(Choose(ID_FILE_EXPORT));
    gate.WaitStarted();
    EXPECT_TRUE(ProgressWindowShown("File Export Progress"));
    dialogs.path.clear();
    ASSERT_TRUE(Choose(ID_FILE_EXPORT));
    ASSERT_TRUE(doc->m_pExpThread);
    EXPECT_FALSE(doc->m_pExpThread->Finished());
    EXPECT_FALSE(Choose(ID_CONTROLS_RUN)); // no run of the kind while it writes
    CDynSys* twin = NewModel(IDR_SYS1NNTYPE);
    EXPECT_FALSE(Offered(ID_CONTROLS_RUN)); // in any model of the kind
    CDynSys* other = NewModel(IDR_SYS2TYPE);
    EXPECT_TRUE(Offered(ID_CONTROLS_RUN));
    other->OnCloseDocument();
    twin->OnCloseDocument();
    QCoreApplication::processEvents(); // the first model is active again
    ASSERT_TRUE(Choose(ID_CONTROLS_CLEARDATA));
    gate.Open();
    ASSERT_TRUE(Pump([doc] { return ExportEnded(doc); }));
    EXPECT_EQ(Lines(ReadText(Temp("whole.d1d"))), 8 + rows);
    EXPECT_EQ(ReadText(Temp("first.d1d")), ReadText(Temp("whole.d1d")));
    EXPECT_TRUE(Choose(ID_CONTROLS_RUN));
    ASSERT_TRUE(Pump([doc] { return !doc->m_bRunning; }));
    doc->OnCloseDocument();
}

struct CloseCase
{
    const char* name;
    std::deque<int> answers; // to "Save changes?" and to the question about the export
    bool closed;
    bool complete; // the file holds every row
};

// Closing a model while its export writes, through File/Close.
TEST(DataCommands, ClosingWhileAnExportWrites)
{
    const CloseCase kCases[] = {
        {"cancel the close", {msgbox::IDCANCEL}, false, true},
        {"wait for the export", {msgbox::IDNO, msgbox::IDOK}, true, true},
        {"end the export", {msgbox::IDNO, msgbox::IDCANCEL}, true, false},
    };
    for (const CloseCase& c : kCases) {
        CDynSys* doc = NewModel(IDR_SYS3TYPE);
        ASSERT_NE(doc, nullptr);
        Dialogs dialogs;
        ASSERT_TRUE(RunThroughMenu(doc));
        const int rows = doc->m_nTableCount;
        doc->SetModifiedFlag(TRUE);
        ExportGate gate(!c.complete); // an export that is ended writes no row after it
        dialogs.path = Temp("closing.d3d");
        std::remove(dialogs.path.c_str());
        ASSERT_TRUE(Choose(ID_FILE_EXPORT));
        gate.WaitStarted();
        // The writer goes on once the user has been asked about it.
        dialogs.onBox = [&gate](const std::string& text) {
            if (text.rfind("Veltrix is writing", 0) == 0)
                gate.Open();
        };
        dialogs.answers = c.answers;
        const HWND view = doc->GetViews().front()->GetSafeHwnd();
        ASSERT_TRUE(Choose(ID_FILE_CLOSE));
        gate.Open();
        EXPECT_EQ(!IsWindow(view), c.closed) << c.name;
        if (!c.closed) {
            ASSERT_TRUE(Pump([doc] { return doc->m_pExpThread->Finished(); }));
            doc->SetModifiedFlag(FALSE);
            ASSERT_TRUE(Choose(ID_FILE_CLOSE)); // after the export: no question
            EXPECT_FALSE(IsWindow(view));
        }
        EXPECT_EQ(g_nExportsThreeVariable, 0) << c.name;
        const std::string text = ReadText(dialogs.path);
        EXPECT_TRUE(EndsWithWholeLine(text)) << c.name;
        EXPECT_EQ(Lines(text) == 8 + rows, c.complete) << c.name << " " << Lines(text);
        EXPECT_EQ(dialogs.texts.size(), c.answers.size()) << c.name;
    }
}

TEST(DataCommands, SaveImageWritesTheActiveViewAsABitmap)
{
    CDynSys* doc = NewModel(IDR_SYS2TYPE);
    ASSERT_NE(doc, nullptr);
    Dialogs dialogs;
    ASSERT_TRUE(RunThroughMenu(doc));
    dialogs.path = Temp("view");
    std::remove(dialogs.path.c_str());
    ASSERT_TRUE(Choose(ID_FILE_SAVE_IMAGE));
    EXPECT_EQ(dialogs.filters, std::vector<std::string>{"Veltrix Display Image (*.bmp)"});
    CMDIChildWnd* child = StartShell()->MDIGetActive();
    ASSERT_NE(child, nullptr);
    CRect rc;
    child->GetClientRect(&rc);
    QImage saved(QString::fromStdString(dialogs.path), "BMP");
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.size(), QSize(rc.Width(), rc.Height()));
    const QImage shown = child->GetWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), shown);
    if (const char* dir = std::getenv("VELTRIX_SHOTS"))
        saved.save(QString(dir) + "/save-image.png");

    dialogs.path = "/nonexistent-folder/view.bmp";
    ASSERT_TRUE(Choose(ID_FILE_SAVE_IMAGE));
    EXPECT_EQ(dialogs.texts,
              std::vector<std::string>{"Could not write image to disk as .bmp file."});
    doc->OnCloseDocument();
}

// Export (on its thread) and Save Image on a full disk, played by a real file-size limit: the
// program lives, says why, and leaves nothing beside the target.
TEST(DataCommands, WritesOnAFullDiskSayWhyAndLeaveNoPieceBehind)
{
    namespace fs = std::filesystem;
    CDynSys* doc = NewModel(IDR_SYS2TYPE);
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(RunThroughMenu(doc));
    const fs::path dir = Temp("full-disk");
    const struct
    {
        UINT command;
        const char* name;
        std::string message;
    } cases[] = {
        {ID_FILE_EXPORT, "out.d2d",
         "Could not write the data file " + (dir / "out.d2d").string() + ":\nFile too large."},
        {ID_FILE_SAVE_IMAGE, "out.bmp", "Could not write image to disk as .bmp file."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(dir);
        fs::create_directory(dir);
        Dialogs dialogs;
        dialogs.path = (dir / c.name).string();
        {
            FileSizeLimit full(600);
            ASSERT_TRUE(Choose(c.command));
            ASSERT_TRUE(Pump([doc] { return !doc->m_pExpThread || ExportEnded(doc); }));
        }
        ASSERT_TRUE(Pump([&] { return !dialogs.texts.empty(); }));
        EXPECT_EQ(dialogs.texts, std::vector<std::string>{c.message});
        EXPECT_TRUE(fs::is_empty(dir));
    }
    doc->OnCloseDocument();
    fs::remove_all(dir);
}

// Save Image of a view shrunk to nothing says so and asks for no file.
TEST(DataCommands, SaveImageOfAViewWithoutPixels)
{
    CDynSys* doc = NewModel(IDR_SYS2TYPE);
    ASSERT_NE(doc, nullptr);
    CMDIChildWnd* child = StartShell()->MDIGetActive();
    ASSERT_NE(child, nullptr);
    child->GetWidget()->setMinimumSize(0, 0);
    child->GetWidget()->resize(0, 0);
    CRect rc;
    child->GetClientRect(&rc);
    ASSERT_TRUE(rc.Width() == 0 || rc.Height() == 0);
    Dialogs dialogs;
    dialogs.path = Temp("empty.bmp");
    std::remove(dialogs.path.c_str());
    ASSERT_TRUE(Choose(ID_FILE_SAVE_IMAGE));
    EXPECT_TRUE(dialogs.filters.empty());
    EXPECT_EQ(dialogs.texts,
              std::vector<std::string>{"There is no picture to save: the view shows no pixels.\n"
                                       "Make its window larger and save the image again."});
    EXPECT_FALSE(std::filesystem::exists(dialogs.path));
    doc->OnCloseDocument();
}

// A file far larger than any model is refused by its size before it is read.
TEST(DataCommands, AModelFileFarTooLargeIsNotRead)
{
    StartShell();
    const std::string path = Temp("huge.ds2");
    std::filesystem::remove(path);
    std::ofstream(path) << "";
    std::filesystem::resize_file(path, std::uintmax_t(1) << 26); // sparse: no disk is used
    Dialogs dialogs;
    dialogs.path = path;
    ASSERT_TRUE(Choose(ID_FILE_OPEN));
    EXPECT_EQ(dialogs.texts,
              std::vector<std::string>{"The file " + path + " is too large to open."});
    EXPECT_TRUE(TemplateOf(IDR_SYS2TYPE)->GetDocuments().empty());
    std::filesystem::remove(path);
}

} // namespace
#endif
