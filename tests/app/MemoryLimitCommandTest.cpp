// Commands that run out of memory under a real limit on the address space, through the real
// main window and its real message boxes: the box says so, and the program goes on. Each command
// runs in a child process of its own (a process whose memory ran out is no place to go on
// testing), after a first basins scan; the parent reads what the boxes said and how it ended.
#if defined(HAVE_VELTRIX_VIEWSPHASE) && !defined(VELTRIX_SANITIZED)
#include "app/BasinsPixels.h"
#include "app/DialogHooks.h"
#include "app/MenuDriver.h"
#include "app/ModalDriver.h"
#include "app/TestFiles.h"
#include "common/ChildProcess.h"
#include "common/ExhaustedMemory.h"
#include "model/CommandIds.h"
#include "views/phase/BasinsView.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrinter>
#include <QTest>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kKiB = 1024, kMiB = 1024 * kKiB;
const char* const kCase = "VELTRIX_LIMITED_CASE"; // makes the test program the child
const char* const kNoMemory = "Not enough memory to go on.";

// How the child runs the command.
struct Limited
{
    UINT id;              // the command
    bool inBasins;        // chosen in the basins view, else in the model's graph
    std::size_t smallest; // the smallest free block of memory left
    std::size_t room;     // address space left above what the program holds
    bool fileDialog;      // the real file dialog, answered by typing, else the test's answer
};

bool BasinsScanned(CDynSys* doc, CBasinsView* view)
{
    return Choose(ID_CONTROLS_RUN) && Pump([doc] { return !doc->m_bBARunning; }) &&
           SetPixels(view) > 1000;
}

const std::string& OutputPath();

// Answers a dialog as the user would: a file dialog by pasting the file's path and Enter, the
// print dialog's OK, a message box's Yes or OK, after writing its text.
void Answer(QDialog* d)
{
    if (qobject_cast<QFileDialog*>(d)) {
        std::cout << "file dialog: " << d->windowTitle().toStdString() << std::endl;
        auto* name = d->findChild<QLineEdit*>("fileNameEdit");
        // Pasted, not typed: on a display a typed path's completions pop up over the dialog
        // when the folder has been read, and may take the Enter.
        name->setText(QString::fromStdString(OutputPath()));
        return QTest::keyClick(name, Qt::Key_Return);
    }
    auto* box = qobject_cast<QMessageBox*>(d);
    if (!box)
        return d->accept();
    std::cout << "told: " << box->text().toStdString() << std::endl;
    QAbstractButton* yes = box->button(QMessageBox::Yes);
    (yes ? yes : box->button(QMessageBox::Ok))->click();
}

// The file that the command writes: the parent's, as the child's temporary folder goes with it.
const char* const kFile = "VELTRIX_LIMITED_FILE";
const std::string& OutputPath()
{
    static const std::string path = std::getenv(kFile) ? std::getenv(kFile) : Temp("limited.out");
    return path;
}

// What the child's boxes said, up to its going on, from among the messages of its output.
std::vector<std::string> Told(const std::string& output)
{
    std::vector<std::string> told;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("told: ", 0) == 0 || line.rfind("file dialog: ", 0) == 0 ||
            line.rfind("went on", 0) == 0)
            told.push_back(line);
        if (line.rfind("went on", 0) == 0)
            break;
    }
    return told;
}

} // namespace

// The child: a first scan in a small window, the window made as large as the screen, then the
// command with memory exhausted, then again with memory.
TEST(MemoryLimitChild, DISABLED_CommandUnderTheLimit)
{
    Limited c = {};
    int inBasins = 0, fileDialog = 0;
    ASSERT_EQ(std::sscanf(std::getenv(kCase), "%u %d %zu %zu %d", &c.id, &inBasins, &c.smallest,
                          &c.room, &fileDialog),
              5);
    CDynSys* doc = nullptr;
    auto* basins = OpenViewOfNewModel<CBasinsView>(IDR_SYS2TYPE, ID_BASINS, doc);
    ASSERT_NE(basins, nullptr);
    doc->m_nBADepth = 20; // a quick scan
    CFrameWnd* frame = basins->GetParentFrame();
    frame->ShowWindow(SW_RESTORE);
    frame->GetWidget()->resize(200, 150);
    QCoreApplication::processEvents();
    ASSERT_TRUE(BasinsScanned(doc, basins));
    frame->ShowWindow(SW_SHOWMAXIMIZED);
    QCoreApplication::processEvents();
    CView* view = inBasins ? basins : doc->GetViews().front();
    view->GetParentFrame()->ActivateFrame(SW_SHOWMAXIMIZED);
    view->RedrawWindow();

    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QString::fromStdString(OutputPath()));
    theApp.SetPrinter(std::move(printer));
    Dialogs dialogs;
    dialogs.path = OutputPath();
    if (fileDialog)
        SetFileDialogHook({});
    ShownMessageBoxes shown;
    ModalDriver driver(std::vector<ModalDriver::Step>(6, Answer));
    {
        ExhaustedMemory exhausted(c.smallest, c.room);
        ASSERT_TRUE(Choose(c.id));
    }
    std::cout << "went on, file left: " << std::filesystem::exists(OutputPath()) << std::endl;
    // With memory again the command does its work: a print job given up left the printer free.
    std::filesystem::remove(OutputPath());
    if (c.id == ID_CONTROLS_RUN)
        EXPECT_TRUE(BasinsScanned(doc, basins));
    else
        EXPECT_TRUE(Choose(c.id) && std::filesystem::exists(OutputPath()));
    theApp.SetPrinter(nullptr);
    doc->SetModifiedFlag(FALSE);
    doc->OnCloseDocument();
}

TEST(MemoryLimitCommands, ACommandOutOfMemorySaysSoInItsBoxAndTheProgramGoesOn)
{
    // What the child's boxes and dialogs said, and whether the command's file was left under the
    // limit.
    using Lines = std::vector<std::string>;
    const auto left = [](bool file) { return "went on, file left: " + std::to_string(file); };
    struct Case
    {
        const char* name;
        Limited limited;
        std::vector<Lines> endings; // any of them
    };
    const std::string margins = "told: Include Margins?", saveAs = "file dialog: Save As";
    const std::string noMemory = std::string("told: ") + kNoMemory;
    const std::vector<Lines> inFileDialog = {
        {margins, saveAs, left(true)},
        {margins, saveAs, noMemory, left(false)},
        {margins, saveAs, "told: Could not write image to disk as .bmp file.", left(false)}};
    const Case cases[] = {
        {"Basins Run", {ID_CONTROLS_RUN, true, kKiB, 0, false}, {{noMemory, left(false)}}},
        {"Save Image", {ID_FILE_SAVE_IMAGE, false, 4 * kKiB, 0, false}, {{noMemory, left(false)}}},
        // The question's box gives back memory enough for the picture.
        {"Save Image, asking first",
         {ID_FILE_SAVE_IMAGE, true, 4 * kKiB, 0, false},
         {{margins, left(true)}}},
        // The file dialog shows, and the command ends with its file or with a message.
        {"Save Image, asking first, in the file dialog",
         {ID_FILE_SAVE_IMAGE, true, 4 * kKiB, 4 * kMiB, true},
         inFileDialog},
        {"Save Image, asking first, in the file dialog with more room",
         {ID_FILE_SAVE_IMAGE, true, 4 * kKiB, 5 * kMiB, true},
         inFileDialog},
        {"Print", {ID_FILE_PRINT, true, kMiB, 8 * kMiB, false}, {{noMemory, left(false)}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(OutputPath());
        const Limited& l = c.limited;
        char setting[96];
        std::snprintf(setting, sizeof setting, "%u %d %zu %zu %d", l.id, int(l.inBasins),
                      l.smallest, l.room, int(l.fileDialog));
        ChildRun run;
        run.args = {"--gtest_filter=MemoryLimitChild.*", "--gtest_also_run_disabled_tests"};
        run.env = {std::string(kCase) + "=" + setting, std::string(kFile) + "=" + OutputPath()};
        const ChildEnd child = RunChild(run);
        EXPECT_FALSE(child.hung);
        EXPECT_EQ(child.code, 0) << child.output;
        const Lines told = Told(child.output);
        EXPECT_NE(std::find(c.endings.begin(), c.endings.end(), told), c.endings.end())
            << child.output;
    }
}
#endif
