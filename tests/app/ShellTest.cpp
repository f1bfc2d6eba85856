// The application shell: start-up, document types, the main frame's background, the toolbar,
// the recent-file list and the About box.
#include "ShellFixture.h"
#include "app/AboutDlg.h"
#include "app/ChildFrm.h"
#include "app/DocTypes.h"
#include "app/MainFrm.h"
#include "app/ShellGlobals.h"
#include "app/VeltrixApp.h"
#include "common/NextModal.h"
#include "platform/DocTemplate.h"
#include "platform/Document.h"
#include "platform/Help.h"
#include "platform/Resources.h"
#include "resources/ShellResources.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace {

TEST(Shell, StartsMaximisedWithoutDocuments)
{
    CMainFrame* frame = StartShell();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(AfxGetMainWnd(), frame);
    EXPECT_TRUE(frame->GetWidget()->isMaximized());
    EXPECT_EQ(frame->GetWindowText(), "Veltrix");
    EXPECT_TRUE(frame->GetChildFrames().empty());
    for (CDocTemplate* t : theApp.GetDocTemplates())
        EXPECT_TRUE(t->GetDocuments().empty());
    EXPECT_EQ(frame->m_wndToolBar.GetLoadedID(), 128u);
    EXPECT_EQ(frame->m_wndStatusBar.GetPaneText(0), "Ready");
    EXPECT_EQ(frame->m_wndStatusBar.GetPaneText(1), "CAP");
    EXPECT_EQ(frame->m_wndStatusBar.GetPaneText(3), "SCRL");
}

TEST(Shell, CommandLineFileIsNotOpenedButShellOpenRequestsAre)
{
    StartShell(); // started with a file name on its command line: nothing opened
    EXPECT_TRUE(theApp.GetShellOpenFiles().empty());
    CCommandLineInfo info;
    theApp.SetCommandLine({"a.ds2", "--open", "b.ds3", "c.vxt"});
    theApp.ParseCommandLine(info);
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FileOpen);
    EXPECT_EQ(info.m_strFileName, "a.ds2");
    EXPECT_EQ(theApp.GetShellOpenFiles(), (std::vector<std::string>{"b.ds3", "c.vxt"}));
}

TEST(Shell, FiveTemplatesInOrderWithTheirTypeStrings)
{
    StartShell();
    std::vector<std::string> names, exts;
    for (CDocTemplate* t : theApp.GetDocTemplates()) {
        names.push_back(t->GetDocString(CDocTemplate::fileNewName));
        exts.push_back(t->GetDocString(CDocTemplate::filterExt));
        EXPECT_EQ(t->m_pFrameClass, VX_RUNTIME_CLASS(CChildFrame));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"VXText", "Newtonian System", "1 Dimensional System",
                                               "2 Dimensional System", "3 Dimensional System"}));
    EXPECT_EQ(exts, (std::vector<std::string>{".vxt", ".ns1", ".ds1", ".ds2", ".ds3"}));
    EXPECT_EQ(theApp.GetOpenFilter(),
              "Veltrix Text Files (*.vxt);; Newtonian System  Files (*.ns1);; 1 Dimensional "
              "System  Files (*.ds1);; 2 Dimensional System  Files (*.ds2);; 3Dimensional "
              "System  Files (*.ds3);;All Files (*)");
}

TEST(Shell, FileNewListsTheTypesInOrderAndOpensTheChosenOne)
{
    StartShell();
    QStringList offered;
    OnNextModal([&offered](QWidget* dlg) {
        auto* list = dlg->findChild<QListWidget*>();
        ASSERT_NE(list, nullptr);
        for (int i = 0; i < list->count(); ++i)
            offered << list->item(i)->text();
        list->setCurrentRow(2);
        static_cast<QDialog*>(dlg)->accept();
    });
    theApp.OnFileNew();
    EXPECT_EQ(offered, QStringList({"VXText", "Newtonian System", "1 Dimensional System",
                                    "2 Dimensional System", "3 Dimensional System"}));
    CDocTemplate* oneVariable = theApp.GetDocTemplates()[2];
    ASSERT_EQ(oneVariable->GetDocuments().size(), 1u);
    oneVariable->CloseAllDocuments(FALSE);
}

TEST(Shell, FirstEraseTakesTheStartDirectoryOnce)
{
    StartShell();
    RenderClient(CSize(900, 600));
    EXPECT_FALSE(g_bFirstPaint);
    EXPECT_EQ(g_strStartDir, std::filesystem::current_path().string());
    g_strStartDir = "unchanged";
    RenderClient(CSize(880, 600));
    EXPECT_EQ(g_strStartDir, "unchanged"); // later erases only paint
    g_strStartDir = std::filesystem::current_path().string();
}

// Every sampled pixel is the picture's where the centred picture covers it, teal elsewhere.
void ExpectBackground(const QImage& shot)
{
    const QImage picture = MakeBackgroundPicture();
    const CPoint at = CMDIClientWnd::PicturePosition(shot.width(), shot.height());
    const QRect inPicture(at.x, at.y, picture.width(), picture.height());
    int pictureSamples = 0, tealSamples = 0;
    for (int y = 0; y < shot.height(); y += 7)
        for (int x = 0; x < shot.width(); x += 7) {
            const QRgb got = shot.pixel(x, y) & 0xFFFFFF;
            if (inPicture.contains(x, y)) {
                ++pictureSamples;
                ASSERT_EQ(got, picture.pixel(x - at.x, y - at.y) & 0xFFFFFF) << x << "," << y;
            } else {
                ++tealSamples;
                ASSERT_EQ(got, 0x008080u) << x << "," << y;
            }
        }
    EXPECT_GT(pictureSamples, 0);
    if (shot.width() > picture.width()) {
        EXPECT_GT(tealSamples, 0);
    }
}

TEST(Shell, TealBackgroundWithCentredPictureAtTwoSizes)
{
    StartShell();
    const QImage large = RenderClient(CSize(1001, 700));
    ASSERT_EQ(large.size(), QSize(1001, 700));
    EXPECT_EQ(CMDIClientWnd::PicturePosition(1001, 700), CPoint(148, 141));
    EXPECT_EQ(large.pixel(147, 141) & 0xFFFFFF, 0x008080u);
    EXPECT_NE(large.pixel(148, 141) & 0xFFFFFF, 0x008080u);
    ExpectBackground(large);

    // Smaller than the picture: its middle shows, cut at the edges.
    const QImage small = RenderClient(CSize(501, 301));
    EXPECT_EQ(CMDIClientWnd::PicturePosition(501, 301), CPoint(-102, -59));
    ExpectBackground(small);
}

// A model's toolbar replaces the buttons; one that does not exist leaves them.
TEST(Shell, ModelToolbarsReplaceTheButtons)
{
    CMainFrame* frame = StartShell();
    QToolBar* bar = frame->m_wndToolBar.GetToolBar();
    const int shellButtons = int(bar->actions().size());
    ASSERT_TRUE(frame->m_wndToolBar.LoadToolBar(132));
    EXPECT_GT(int(bar->actions().size()), shellButtons);
    ASSERT_TRUE(frame->m_wndToolBar.LoadToolBar(128));
    EXPECT_FALSE(frame->m_wndToolBar.LoadToolBar(999));
    EXPECT_EQ(frame->m_wndToolBar.GetLoadedID(), 128u);
    EXPECT_EQ(int(bar->actions().size()), shellButtons);
}

TEST(Shell, RecentFilesKeepFourNewestFirstUnderTheMakersName)
{
    StartShell();
    EXPECT_EQ(theApp.GetRegistryKey(), "Tessaly Works");
    for (const char* p : {"/a/1.ds2", "/a/2.ds2", "/a/3.ds2", "/a/4.ds2", "/a/5.ds2", "/a/3.ds2"})
        theApp.AddToRecentFileList(p);
    const std::vector<std::string> expected{"/a/3.ds2", "/a/5.ds2", "/a/4.ds2", "/a/2.ds2"};
    EXPECT_EQ(theApp.GetRecentFiles(), expected);
    theApp.SaveStdProfileSettings();
    QSettings settings("Tessaly Works", "Veltrix");
    EXPECT_EQ(settings.value("Recent File List/File1").toString(), "/a/3.ds2");
    theApp.LoadStdProfileSettings(4);
    EXPECT_EQ(theApp.GetRecentFiles(), expected);
}

TEST(Shell, RecentFilesFillTheFileMenu)
{
    CMainFrame* frame = StartShell();
    auto* main = static_cast<QMainWindow*>(frame->GetWidget());
    QMenu* file = main->menuBar()->actions().front()->menu();
    ASSERT_NE(file, nullptr);
    auto entries = [&] {
        frame->UpdateMenu(file);
        std::vector<std::string> shown;
        for (QAction* a : file->actions()) {
            const UINT id = a->data().toUInt();
            if (id >= ID_FILE_MRU_FILE1 && id <= ID_FILE_MRU_FILE4 && a->isVisible())
                shown.push_back(a->text().toStdString() + (a->isEnabled() ? "" : " (grey)"));
        }
        return shown;
    };
    theApp.LoadStdProfileSettings(0); // no list: one grey entry
    EXPECT_EQ(entries(), (std::vector<std::string>{"Recent File (grey)"}));
    theApp.LoadStdProfileSettings(4);
    theApp.AddToRecentFileList("/m/a.ds2");
    theApp.AddToRecentFileList("/m/R&D.ds3");
    const auto shown = entries();
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(shown[0], "&1 /m/R&&D.ds3");
    EXPECT_EQ(shown[1], "&2 /m/a.ds2");
}

// The items of a menu table as text, "-" for a separator and "[...]" around a popup's items.
std::string MenuText(const std::vector<vx::res::MenuItem>& items)
{
    std::string text;
    for (const auto& item : items) {
        if (!text.empty())
            text += "|";
        if (!item.items.empty())
            text += item.text + "[" + MenuText(item.items) + "]";
        else
            text += item.id ? item.text : "-";
    }
    return text;
}

TEST(Shell, MainMenuAndAccelerators)
{
    StartShell();
    const auto* menu = vx::res::FindMenu(IDR_MAINFRAME);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(MenuText(*menu),
              "&File[&New\tCtrl+N|&Open...\tCtrl+O|-|P&rint Setup...|-|Recent File|Recent "
              "File|Recent File|Recent File|-|E&xit]|&Configuration|&View[&Toolbar|&Status "
              "Bar]|&Help[&Help Topics|-|&About Veltrix]");
    const auto* keys = vx::res::FindAccelerators(IDR_MAINFRAME);
    ASSERT_NE(keys, nullptr);
    std::map<std::string, UINT> byKey;
    for (const auto& k : *keys)
        byKey[k.keys] = k.id;
    EXPECT_EQ(byKey.size(), 22u);
    EXPECT_EQ(byKey["Ctrl+N"], ID_FILE_NEW);
    EXPECT_EQ(byKey["Alt+Backspace"], ID_EDIT_UNDO);
    EXPECT_EQ(byKey["Shift+Del"], ID_EDIT_CUT);
    EXPECT_EQ(byKey["Alt+Return"], 57860u);
    EXPECT_EQ(byKey["Shift+F1"], ID_CONTEXT_HELP);
    EXPECT_EQ(byKey["Esc"], 32768u);
}

TEST(Shell, AboutBox)
{
    StartShell();
    CAboutDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_ABOUTBOX));
    QDialog* d = dlg.GetDialog();
    EXPECT_EQ(d->windowTitle(), "About Veltrix");
    auto* version = d->findChild<QLabel*>("version");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->text(), "Veltrix  Version 5.10");
    dlg.DestroyWindow();
}

TEST(Shell, ANameThatIsNotAViewGivesThePlaceholder)
{
    EXPECT_STREQ(FindViewClass("CNoSuchView")->m_lpszClassName, "CPlaceholderView");
    EXPECT_EQ(FindViewClass("CChildFrame"), FindViewClass("CNoSuchView"));
}

TEST(Shell, HelpPagesByContextNumber)
{
    CMainFrame* frame = StartShell();
    theApp.WinHelp(0x50BB9); // the glossary that lessons link to
    EXPECT_EQ(vx::help::ShownTopic(), 0x50BB9u);
    theApp.WinHelp(0x18008);
    EXPECT_EQ(vx::help::ShownTopic(), 0x18008u);
    theApp.WinHelp(0x7FFFF); // no such page: the contents
    EXPECT_EQ(vx::help::ShownTopic(), 0u);
    theApp.WinHelp(0x18068);
    EXPECT_TRUE(frame->ExecuteCommand(ID_HELP_FINDER));
    EXPECT_EQ(vx::help::ShownTopic(), 0u);
    // The help window leaves the main window's menus and toolbar free.
    QWidget* help = nullptr;
    auto* main = static_cast<QMainWindow*>(frame->GetWidget());
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle().endsWith(" Help"))
            help = w;
    ASSERT_NE(help, nullptr);
    const QString contents = static_cast<QTextBrowser*>(help)->toPlainText();
    EXPECT_EQ(contents.count("Basins of Attraction"), 1); // one entry per title
    const QRect bars(main->menuBar()->mapToGlobal(QPoint(0, 0)),
                     main->centralWidget()->mapToGlobal(QPoint(main->width(), -1)));
    EXPECT_FALSE(help->frameGeometry().intersects(bars));
    vx::help::Close();
}

// The help speaks of this program only: no other platform's editions of it.
TEST(Shell, HelpPagesNameNoOtherEdition)
{
    StartShell();
    for (DWORD context : vx::res::HelpTopicIds())
        EXPECT_EQ(vx::res::FindHelpTopic(context)->html.find("Windows"), std::string::npos)
            << std::hex << context;
}

TEST(Shell, HelpModeClickOnAButtonShowsItsCommand)
{
    CMainFrame* frame = StartShell();
    EXPECT_TRUE(frame->ExecuteCommand(ID_CONTEXT_HELP));
    ASSERT_TRUE(vx::help::InHelpMode());
    QToolBar* bar = frame->m_wndToolBar.GetToolBar();
    QAction* newButton = bar->actions().front();
    ASSERT_EQ(newButton->data().toUInt(), ID_FILE_NEW);
    QTest::mouseClick(bar->widgetForAction(newButton), Qt::LeftButton);
    EXPECT_FALSE(vx::help::InHelpMode());
    EXPECT_EQ(vx::help::ShownTopic(), HID_BASE_COMMAND + ID_FILE_NEW);
    for (CDocTemplate* t : theApp.GetDocTemplates())
        EXPECT_TRUE(t->GetDocuments().empty()); // the click did not run File/New
    vx::help::Close();
}

TEST(ShellDeathTest, ExitProcessEndsWithItsCode)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(AfxExitProcess(1), ::testing::ExitedWithCode(1), "");
    EXPECT_EXIT(AfxExitProcess(0), ::testing::ExitedWithCode(0), "");
}

} // namespace
