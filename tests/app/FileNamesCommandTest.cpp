// Files named in other languages, reached through the real main window: every message that
// shows a path spells it as the program's other texts are spelt.
#ifdef HAVE_VELTRIX_VIEWSGRAPH
#include "app/Configuration.h"
#include "app/MenuDriver.h"
#include "app/ModalDriver.h"
#include "app/ShellFixture.h"
#include "app/ShellGlobals.h"
#include "app/TestFiles.h"
#include "app/VXTextDoc.h"
#include "app/VXTextView.h"
#include "common/FileSizeLimit.h"
#include "common/MessageRecorder.h"
#include "model/DynSys.h"
#include "platform/DocTemplate.h"
#include "resources/ResourceIds.h"

#include <QLineEdit>
#include <QTextEdit>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

const struct
{
    const char* language;
    std::string name; // as the file system spells it (UTF-8)
    std::string text; // as the program's texts spell it (Latin-1)
} kNames[] = {
    {"Spanish", "lecci\xC3\xB3n_r\xC3\xA9sum\xC3\xA9", "lecci\xF3n_r\xE9sum\xE9"},
    {"German", "\xC3\x96lk\xC3\xA4nnchen_Spa\xC3\x9F", "\xD6lk\xE4nnchen_Spa\xDF"},
    {"Greek", "\xCE\xBC\xCE\xAC\xCE\xB8\xCE\xB7\xCE\xBC\xCE\xB1", "??????"},
};

// File/Save As of the active document, typed into the file dialog.
void SaveAs(const std::string& path)
{
    ModalDriver driver({[&](QDialog* d) {
        d->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromUtf8(path));
        d->accept();
    }});
    EXPECT_TRUE(Choose(ID_FILE_SAVE_AS));
    EXPECT_TRUE(driver.Done());
}

// A command whose file dialog is given the path.
void ChooseWithFile(UINT id, const std::string& path)
{
    const FileDialogHook old = SetFileDialogHook([&](bool, const std::string&) { return path; });
    EXPECT_TRUE(Choose(id));
    SetFileDialogHook(old);
}

Texts ExportMessages(CDynSys* doc, const std::string& path, rlim_t sizeLimit = RLIM_INFINITY)
{
    MessageRecorder recorder;
    {
        FileSizeLimit limit(sizeLimit);
        ChooseWithFile(ID_FILE_EXPORT, path);
        // An export whose file cannot be opened starts no thread.
        EXPECT_TRUE(Pump([doc] { return !doc->m_pExpThread || ExportEnded(doc); }));
    }
    Idle();
    return recorder.messages;
}

class FileNames : public ::testing::Test
{
protected:
    void SetUp() override
    {
        StartShell();
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { g_nAccessLevel = 1; }
    const std::string m_dir = Temp("names/");
};

// Save As, the export that cannot be written (under a plain file, and on a full disk), the
// import's name in the margins, Close with its question, and an open that finds no file.
TEST_F(FileNames, AModelsMessagesSpellItsName)
{
    std::ofstream(m_dir + "plain") << "not a folder";
    for (const auto& c : kNames) {
        SCOPED_TRACE(c.language);
        CDynSys* doc = NewModel(IDR_SYS1TYPE);
        ASSERT_NE(doc, nullptr);
        ASSERT_TRUE(RunThroughMenu(doc));
        MessageRecorder saved;
        SaveAs(m_dir + c.name + ".ns1");
        EXPECT_EQ(saved.messages, Texts{});
        EXPECT_TRUE(fs::exists(m_dir + c.name + ".ns1"));
        EXPECT_EQ(doc->GetTitle(), c.text + ".ns1");
        MessageRecorder lost;
        SaveAs(m_dir + "gone/" + c.name + ".ns1");
        EXPECT_EQ(lost.messages, Texts{"Failed to save document " + m_dir + "gone/" + c.text +
                                       ".ns1.\nNo such file or directory."});
        EXPECT_EQ(ExportMessages(doc, m_dir + "plain/" + c.name + ".dnd"),
                  Texts{"Could not write the data file " + m_dir + "plain/" + c.text +
                        ".dnd:\nNot a directory."});
        EXPECT_EQ(
            ExportMessages(doc, m_dir + c.name + ".dnd", 100),
            Texts{"Could not write the data file " + m_dir + c.text + ".dnd:\nFile too large."});
        EXPECT_EQ(ExportMessages(doc, m_dir + c.name + ".dnd"), Texts{});
        {
            MessageRecorder imported;
            ChooseWithFile(ID_FILE_IMPORT, m_dir + c.name + ".dnd");
        }
        EXPECT_EQ(doc->m_strImportFile, c.text + ".dnd");
        doc->SetModifiedFlag();
        MessageRecorder closed({msgbox::IDNO});
        EXPECT_TRUE(Choose(ID_FILE_CLOSE));
        EXPECT_EQ(closed.messages, Texts{"Save changes to " + m_dir + c.text + ".ns1?"});
        MessageRecorder opened;
        ChooseWithFile(ID_FILE_OPEN, m_dir + c.name + "_\xC3\xA9.ns1");
        EXPECT_EQ(opened.messages, Texts{"Cannot open the file " + m_dir + c.text + "_\xE9.ns1."});
    }
}

CVXTextDoc* NewLesson(const char* words)
{
    auto* doc = dynamic_cast<CVXTextDoc*>(TemplateOf(IDR_VXTEXTTYPE)->OpenDocumentFile(nullptr));
    if (doc)
        static_cast<CVXTextView*>(doc->GetViews().front())->GetEdit()->insertPlainText(words);
    QCoreApplication::processEvents();
    return doc;
}

// A student's lesson goes to the student's own folder, named by the log-on name: the save says
// where, asks before it replaces another lesson, and Close and Open name the file.
TEST_F(FileNames, ALessonsMessagesSpellItsName)
{
    g_nAccessLevel = 0;
    fs::create_directory(m_dir + "class");
    g_strUserDir = MakeUserFolder(m_dir + "class", "Jos\xE9"); // as typed at log-on
    EXPECT_TRUE(fs::is_directory(m_dir + "class/Jos\xC3\xA9"));
    const std::string folder = m_dir + "class/Jos\xE9/";
    for (const auto& c : kNames) {
        SCOPED_TRACE(c.language);
        CVXTextDoc* lesson = NewLesson("First words.");
        ASSERT_NE(lesson, nullptr);
        MessageRecorder saved;
        SaveAs(m_dir + c.name + ".vxt");
        EXPECT_EQ(saved.messages, Texts{"Saving the file as\n" + folder + c.text + ".vxt"});
        EXPECT_EQ(lesson->m_strTitleText, c.text + ".vxt");
        static_cast<CVXTextView*>(lesson->GetViews().front())->GetEdit()->insertPlainText("More.");
        MessageRecorder closed({msgbox::IDNO});
        EXPECT_TRUE(Choose(ID_FILE_CLOSE));
        EXPECT_EQ(closed.messages, Texts{"Save changes to " + folder + c.text + ".vxt?"});

        // Asked first; where it goes is said only when it goes.
        CVXTextDoc* other = NewLesson("Other words.");
        ASSERT_NE(other, nullptr);
        const std::string asked =
            folder + c.text + ".vxt already exists.\nDo you want to replace it?";
        const auto written = [&] {
            std::ifstream in(m_dir + "class/Jos\xC3\xA9/" + c.name + ".vxt");
            return std::string(std::istreambuf_iterator<char>(in), {});
        };
        const std::string first = written();
        MessageRecorder kept({msgbox::IDNO});
        SaveAs(m_dir + c.name + ".vxt");
        EXPECT_EQ(kept.messages, Texts{asked});
        EXPECT_EQ(written(), first);
        MessageRecorder replaced({msgbox::IDYES});
        SaveAs(m_dir + c.name + ".vxt");
        EXPECT_EQ(replaced.messages,
                  (Texts{asked, "Saving the file as\n" + folder + c.text + ".vxt"}));
        EXPECT_NE(written().find("Other words."), std::string::npos);
        // The student's folder gone: the failure names the file it would have written.
        fs::rename(m_dir + "class/Jos\xC3\xA9", m_dir + "away");
        MessageRecorder lost;
        SaveAs(m_dir + c.name + ".vxt");
        EXPECT_EQ(lost.messages, (Texts{"Saving the file as\n" + folder + c.text + ".vxt",
                                        "Failed to save document " + folder + c.text +
                                            ".vxt.\nNo such file or directory."}));
        fs::rename(m_dir + "away", m_dir + "class/Jos\xC3\xA9");
        other->SetModifiedFlag(FALSE);
        other->OnCloseDocument();

        MessageRecorder opened;
        ChooseWithFile(ID_FILE_OPEN, m_dir + c.name + "_\xC3\xA9.vxt");
        EXPECT_EQ(opened.messages, Texts{"Cannot open the file " + m_dir + c.text + "_\xE9.vxt."});
    }
}

} // namespace
#endif
