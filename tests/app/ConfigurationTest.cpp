// The configuration file, the start-up read with the student log-on, and the Configuration
// command with its password dialogs.
#include "app/Configuration.h"
#include "ModalDriver.h"
#include "ShellFixture.h"
#include "app/ConfigDlgs.h"
#include "app/ShellGlobals.h"
#include "common/FileSizeLimit.h"
#include "common/MessageRecorder.h"
#include "platform/DocTemplate.h"
#include "platform/Document.h"
#include "platform/Messages.h"
#include "resources/ResourceIds.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Bytes = std::string;

// Each test runs in a folder of its own, with the shell's globals as at start.
class Config : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_old = fs::current_path();
        fs::current_path(m_dir.path().toStdString());
        ResetGlobals();
    }
    void ResetGlobals()
    {
        g_strStartDir = fs::current_path().string();
        g_nAccessLevel = 7;
        g_strTeacherPassword = "unread";
        g_strLogOnName.clear();
        g_strUserDir.clear();
    }
    void TearDown() override { fs::current_path(m_old); }

    static void WriteConfig(const Bytes& bytes)
    {
        std::ofstream("KRVX500.CFG", std::ios::binary).write(bytes.data(), bytes.size());
    }
    static Bytes ReadConfig()
    {
        std::ifstream f("KRVX500.CFG", std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }

    QTemporaryDir m_dir;
    fs::path m_old;
};

ModalDriver::Step LogOn(const char* name)
{
    return [name](QDialog* d) {
        d->findChild<QLineEdit*>(QString::number(IDC_LOGON_NAME))->setText(name);
        d->accept();
    };
}

struct StartCase
{
    const char* what;
    Bytes file;
    std::vector<ModalDriver::Step> answers;
    int code;
    std::uint32_t level;
    const char* password;
    const char* logOn;
    int logOnDialogs; // "Student Log On" shown so many times
    const char* message = nullptr;
};

TEST_F(Config, StartUpReadsTheRecordAndLogsTheStudentOn)
{
    const Bytes student("\0\0\0\0\0", 5);
    const Bytes teacher("\1\0\0\0\3abcXYZ", 11), wide("\1\0\0\0\xFF\xFE\xFF\3x\0y\0z\0", 14);
    const StartCase cases[] = {
        {"five zero bytes: student, no password", student, {LogOn("ann")}, -1, 0, "", "ann", 1},
        {"teacher: no log-on, bytes after the record unread", teacher, {}, -1, 1, "abc", "", 0},
        {"a 16-bit password becomes 8-bit", wide, {}, -1, 1, "xyz", "", 0},
        {"an empty name is the start folder itself", student, {LogOn("")}, -1, 0, "", "", 1},
        {"cancel at the log-on", student, {Reject}, 0, 0, "", "", 1},
        {"punctuation is refused, the name stays for mending",
         student,
         {LogOn("ab.c"),
          [](QDialog* d) {
              auto* e = d->findChild<QLineEdit*>(QString::number(IDC_LOGON_NAME));
              EXPECT_EQ(e->text(), "ab.c");
              e->setText("a-b");
              d->accept();
          }},
         -1,
         0,
         "",
         "a-b",
         2,
         "No punctuation allowed in log on name"},
    };
    for (const StartCase& c : cases) {
        SCOPED_TRACE(c.what);
        ResetGlobals();
        WriteConfig(c.file);
        MessageRecorder recorder;
        ModalDriver driver(c.answers);
        EXPECT_EQ(StartUpConfiguration(), c.code);
        EXPECT_EQ(driver.titles, std::vector<std::string>(c.logOnDialogs, "Student Log On"));
        EXPECT_EQ(recorder.messages,
                  c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
        EXPECT_EQ(g_nAccessLevel, c.level);
        EXPECT_EQ(g_strTeacherPassword, c.password);
        EXPECT_EQ(g_strLogOnName, c.logOn);
        EXPECT_EQ(ReadConfig(), c.file); // never truncated nor written at start
        if (c.code == -1 && c.level == 0) {
            EXPECT_EQ(g_strUserDir, g_strStartDir + "/" + c.logOn + "/");
            EXPECT_TRUE(fs::is_directory(g_strUserDir));
        } else {
            EXPECT_EQ(g_strUserDir, "");
        }
    }
}

// A damaged record, or a folder or a pipe by the file's name: the start stops after the About
// box with the message, takes nothing from the file, writes nothing and never waits.
TEST_F(Config, AFileThatCannotBeReadStopsTheStartAfterTheAboutBox)
{
    const struct
    {
        const char* what;
        Bytes bytes;
        bool (*make)();
    } cases[] = {
        {"four bytes are short", Bytes("\0\0\0\0", 4), nullptr},
        {"a password length past the end", Bytes("\1\0\0\0\5abc", 8), nullptr},
        {"a missing file is made, empty", Bytes(), nullptr},
        {"a folder", {}, [] { return fs::create_directory("KRVX500.CFG"); }},
        {"a pipe", {}, [] { return ::mkfifo("KRVX500.CFG", 0644) == 0; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all("KRVX500.CFG");
        if (c.make) {
            ASSERT_TRUE(c.make());
        } else if (!c.bytes.empty()) {
            WriteConfig(c.bytes);
        }
        MessageRecorder recorder;
        ModalDriver driver({Accept});
        EXPECT_EQ(StartUpConfiguration(), 1);
        EXPECT_EQ(driver.titles, std::vector<std::string>{"About Veltrix"});
        EXPECT_EQ(recorder.messages, std::vector<std::string>{kConfigReadFailed});
        EXPECT_EQ(g_nAccessLevel, 7u); // nothing taken from a damaged record
        EXPECT_EQ(g_strTeacherPassword, "unread");
        if (!c.make) {
            EXPECT_EQ(ReadConfig(), c.bytes);
        }
    }
}

TEST_F(Config, ExitCodesOfTheStartUp)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    WriteConfig(Bytes("\0\0\0\0", 4));
    EXPECT_EXIT(
        {
            MessageRecorder quiet;
            ModalDriver driver({Accept});
            ReadConfigurationAndLogOn();
        },
        ::testing::ExitedWithCode(1), "");
    WriteConfig(Bytes("\0\0\0\0\0", 5));
    EXPECT_EXIT(
        {
            ModalDriver driver({Reject});
            ReadConfigurationAndLogOn();
        },
        ::testing::ExitedWithCode(0), "");
}

// A box that the start-up shows (a message box's text, none for a dialog) and its answer.
struct Box
{
    std::string title, text;
    ModalDriver::Step answer;
};

[[noreturn]] void End(int code, const std::string& why)
{
    std::fprintf(stderr, "%s\n", why.c_str());
    AfxExitProcess(code);
}

bool IsOpen(const std::string& path)
{
    for (CDocTemplate* t : theApp.GetDocTemplates())
        for (CDocument* d : t->GetDocuments())
            if (d->GetPathName() == path)
                return true;
    return false;
}

// A death test's child: the program started as the desktop starts it, with files handed over.
// Every modal box must be the next of boxes, answered so; the process ends with 0 when they are
// done and the lesson is open (or by a cancel's own end), else with the reason.
[[noreturn]] void StartAsTheDesktopDoes(std::vector<std::string> args, std::deque<Box> boxes,
                                        const std::string& lesson, bool opens)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(fs::current_path().string()));
    QPointer<QDialog> last;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (d && d != last) {
            last = d;
            const auto* box = qobject_cast<QMessageBox*>(d);
            const Box shown{d->windowTitle().toStdString(),
                            box ? box->text().toStdString() : std::string(),
                            {}};
            if (boxes.empty() || shown.title != boxes.front().title ||
                shown.text != boxes.front().text)
                End(2, "a box out of turn: " + shown.title + " " + shown.text);
            QTimer::singleShot(0, d, [d, answer = boxes.front().answer] { answer(d); });
            boxes.pop_front();
        }
        if (IsOpen(lesson))
            End(opens && boxes.empty() ? 0 : 3, "the lesson opened before the boxes were done");
    });
    poll.start(5);
    QTimer::singleShot(60000, [] { End(4, "the lesson never opened"); }); // a hang fails
    args.insert(args.begin(), "veltrix");
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    AfxWinMain(int(argv.size()), argv.data());
    End(5, "the program ended");
}

// Files that the desktop hands over wait for the log-on: its box comes first, then a bad file's
// message, then the good file opens; a cancelled log-on ends the program with nothing opened.
TEST_F(Config, FilesHandedOverOpenAfterTheLogOn)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    WriteConfig(Bytes("\0\0\0\0\0", 5));
    const std::string bad = (fs::current_path() / "missing.vxt").string();
    const std::string good = (fs::current_path() / "lesson.vxt").string();
    std::ofstream(good) << "{\\rtf1 A lesson\\par}";
    const struct
    {
        const char* what;
        std::deque<Box> boxes;
        bool opens;
    } cases[] = {
        {"answered",
         {{"Student Log On", "", LogOn("ann")},
          {"Veltrix", "Cannot open the file " + bad + ".", Accept}},
         true},
        {"cancelled", {{"Student Log On", "", Reject}}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EXIT(StartAsTheDesktopDoes({"--open", bad, good}, c.boxes, good, c.opens),
                    ::testing::ExitedWithCode(0), "");
    }
}

// A name with an accent makes its folder in the file system's spelling; a folder made under the
// name's Latin-1 bytes before is kept, so the student finds the files saved there.
TEST_F(Config, AnAccentedLogOnNameKeepsAFolderMadeBefore)
{
    const std::string dir = fs::current_path().string();
    EXPECT_EQ(MakeUserFolder(dir, "Jos\xE9"), dir + "/Jos\xC3\xA9/");
    EXPECT_TRUE(fs::is_directory(dir + "/Jos\xC3\xA9"));
    fs::create_directory(dir + "/Ren\xE9");
    EXPECT_EQ(MakeUserFolder(dir, "Ren\xE9"), dir + "/Ren\xE9/");
    EXPECT_FALSE(fs::exists(dir + "/Ren\xC3\xA9"));
}

TEST(LogOnName, PunctuationRule)
{
    const std::pair<const char*, bool> cases[] = {
        {"ab.c", true}, {"ab c", false}, {"a-b", false}, {"", false}, {"a_b9", false}, {",", true},
        {"/", true},    {"<", true},     {">", true},    {"?", true}, {":", true},     {";", true},
        {"'", true},    {"\"", true},    {"\\", true},   {"|", true}, {"..", true},
    };
    for (const auto& [name, refused] : cases)
        EXPECT_EQ(HasLogOnPunctuation(name), refused) << name;
}

// --- the Configuration command ------------------------------------------------------------

// Chooses Configuration from the main window's menu bar, as a user does; false when the menu
// bar does not offer it.
bool ChooseConfiguration()
{
    auto* main = static_cast<QMainWindow*>(StartShell()->GetWidget());
    for (QAction* a : main->menuBar()->actions())
        if (a->data().toUInt() == ID_CONFIGURATION && a->isEnabled()) {
            a->trigger();
            QCoreApplication::processEvents();
            vx::DeliverPostedMessages();
            return true;
        }
    return false;
}

QLineEdit* Edit(QDialog* d, UINT id)
{
    return d->findChild<QLineEdit*>(QString::number(id));
}

void Focus(QWidget* w, QEvent::Type type)
{
    QFocusEvent e(type, Qt::TabFocusReason);
    QApplication::sendEvent(w, &e);
}

// Types a text into the new-password field and leaves it with Tab.
ModalDriver::Step NewPasswordEntries(std::vector<const char*> entries, bool bThenOk = true)
{
    return [entries, bThenOk](QDialog* d) {
        QLineEdit* pw = Edit(d, IDC_NEW_PASSWORD);
        for (const char* text : entries) {
            Focus(pw, QEvent::FocusIn);
            pw->setText(text);
            Focus(pw, QEvent::FocusOut);
        }
        if (bThenOk)
            d->accept();
        if (d->isVisible())
            d->reject();
    };
}

ModalDriver::Step Password(const char* text)
{
    return [text](QDialog* d) {
        Edit(d, IDC_PASSWORD_ENTRY)->setText(text);
        d->accept();
    };
}

struct CommandCase
{
    const char* what;
    std::vector<ModalDriver::Step> answers;
    std::vector<std::string> messages;
    Bytes file; // after the command
};

TEST_F(Config, ConfigurationCommandAndItsPasswordFlows)
{
    StartShell();
    const Bytes old("\1\0\0\0\x0A"
                    "0123456789",
                    15);
    const CommandCase cases[] = {
        {"a new password typed twice is written over the old record's start",
         {NewPasswordEntries({"abc", "abc"})},
         {"Re-enter new password to confirm."},
         Bytes("\1\0\0\0\3abc3456789", 15)},
        {"mismatched entries, then OK before confirming: the dialog stays",
         {NewPasswordEntries({"abc", "abd"})},
         {"Re-enter new password to confirm.", "Entries do not match.  Re-enter password.",
          "New password not confirmed.  Re-enter new password."},
         old},
        {"cancel changes nothing", {Reject}, {}, old},
        {"a click on Cancel from the password field asks nothing",
         {[](QDialog* d) {
             d->activateWindow();
             QLineEdit* pw = Edit(d, IDC_NEW_PASSWORD);
             pw->setFocus(Qt::MouseFocusReason);
             ASSERT_TRUE(pw->hasFocus());
             pw->setText("new");
             d->findChild<QWidget*>("cancel")->setFocus(Qt::MouseFocusReason);
             EXPECT_FALSE(pw->hasFocus());
             d->reject();
         }},
         {},
         old},
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.what);
        WriteConfig(old);
        g_nAccessLevel = 1;
        g_strTeacherPassword = "0123456789";
        MessageRecorder recorder;
        ModalDriver driver(c.answers);
        ASSERT_TRUE(ChooseConfiguration());
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(recorder.messages, c.messages);
        EXPECT_EQ(ReadConfig(), c.file);
    }
}

TEST_F(Config, TeacherLevelNeedsThePassword)
{
    StartShell();
    struct Case
    {
        const char* what;
        ModalDriver::Step answer;
        std::uint32_t level;
        std::vector<std::string> messages;
    } cases[] = {
        {"the right password", Password("secret"), 1, {}},
        {"a wrong one",
         Password("Secret"),
         0,
         {"Password incorrect.  Teacher access level denied."}},
        {"cancel", Reject, 0, {"Password incorrect.  Teacher access level denied."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteConfig(Bytes("\0\0\0\0\6secret", 11));
        g_nAccessLevel = 0;
        g_strTeacherPassword = "secret";
        g_strLogOnName = "ann";
        std::string nameAfter;
        MessageRecorder recorder;
        ModalDriver driver({[&](QDialog* d) {
                                d->findChild<QRadioButton*>(QString::number(IDC_TEACHER))->click();
                                nameAfter = Edit(d, IDC_LOGON_NAME)->text().toStdString();
                                d->accept();
                            },
                            c.answer});
        ASSERT_TRUE(ChooseConfiguration());
        EXPECT_EQ(recorder.messages, c.messages);
        EXPECT_EQ(g_nAccessLevel, c.level);
        EXPECT_EQ(g_strLogOnName, ""); // emptied by choosing Teacher, whatever follows
        EXPECT_EQ(nameAfter, c.level == 0 ? "none" : "");
        EXPECT_EQ(ReadConfig()[0], char(c.level));
        EXPECT_EQ(g_strUserDir, fs::current_path().string() + "/" + nameAfter + "/");
    }
}

TEST_F(Config, ConfigurationRefusesAFolderNameWithPunctuation)
{
    StartShell();
    WriteConfig(Bytes("\0\0\0\0\0", 5));
    g_nAccessLevel = 0;
    g_strTeacherPassword.clear();
    MessageRecorder recorder;
    ModalDriver driver({[](QDialog* d) {
        Edit(d, IDC_LOGON_NAME)->setText("../..");
        d->accept();
        EXPECT_TRUE(d->isVisible()) << d->windowTitle().toStdString() << d->result();
        Edit(d, IDC_LOGON_NAME)->setText("bob");
        d->accept();
    }});
    ASSERT_TRUE(ChooseConfiguration());
    EXPECT_EQ(recorder.messages, std::vector<std::string>{"No punctuation allowed in log on name"});
    EXPECT_EQ(g_strUserDir, fs::current_path().string() + "/bob/");
}

// A record that cannot be written says so; the program goes on with the values chosen.
TEST_F(Config, AConfigurationThatCannotBeWrittenSaysSo)
{
    StartShell();
    fs::remove("KRVX500.CFG"); // the shell's start may have made one
    ASSERT_TRUE(fs::create_directory("KRVX500.CFG"));
    g_nAccessLevel = 1;
    g_strTeacherPassword = "pw";
    MessageRecorder recorder;
    ModalDriver driver({[](QDialog* d) {
        d->findChild<QRadioButton*>(QString::number(IDC_STUDENT))->click();
        d->accept();
    }});
    ASSERT_TRUE(ChooseConfiguration());
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].rfind("Unable to write file KRVX500.CFG.\n", 0), 0u)
        << recorder.messages[0];
    EXPECT_EQ(g_nAccessLevel, 0u);
    EXPECT_TRUE(fs::is_directory("KRVX500.CFG"));
}

// A write that the disk cannot take leaves the old file whole, so later starts still read it,
// and says why; a file whose old bytes cannot be read is not replaced.
TEST_F(Config, AFailedWriteLeavesTheOldFileWholeAndSaysWhy)
{
    StartShell();
    const Bytes old("\1\0\0\0\x0A"
                    "0123456789",
                    15);
    const struct
    {
        const char* what;
        rlim_t limit;       // file size limit during the command
        mode_t mode;        // of the old file
        const char* reason; // ending the message
    } cases[] = {
        {"a short write", 8, 0644, "File too large"},
        {"an unreadable old file", RLIM_INFINITY, 0200, "Permission denied"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.mode == 0200 && ::geteuid() == 0)
            continue; // root reads every file
        WriteConfig(old);
        ::chmod("KRVX500.CFG", c.mode);
        g_nAccessLevel = 1;
        g_strTeacherPassword = "0123456789";
        MessageRecorder recorder;
        ModalDriver driver({NewPasswordEntries({"a longer password", "a longer password"})});
        {
            FileSizeLimit limit(c.limit);
            ASSERT_TRUE(ChooseConfiguration());
        }
        ::chmod("KRVX500.CFG", 0644);
        ASSERT_EQ(recorder.messages.size(), 2u);
        EXPECT_EQ(recorder.messages[1],
                  std::string("Unable to write file KRVX500.CFG.\n") + c.reason);
        EXPECT_EQ(ReadConfig(), old);
        for (const auto& e : fs::directory_iterator("."))
            EXPECT_EQ(e.path().filename().string().rfind(".vx-", 0), std::string::npos);
        ResetGlobals();
        EXPECT_EQ(StartUpConfiguration(), -1);
        EXPECT_EQ(g_strTeacherPassword, "0123456789");
    }
}

} // namespace
