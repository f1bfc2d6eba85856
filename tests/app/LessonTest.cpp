// Lessons: links, the RTF file, saving (a student's save goes to the student's folder),
// captions, toolbar and printing.
#include "LessonFixture.h"
#include "MenuDriver.h"
#include "ModalDriver.h"
#include "ShellFixture.h"
#include "app/CntrItem.h"
#include "app/LessonLink.h"
#include "app/Rtf.h"
#include "app/ShellGlobals.h"
#include "app/VXTextDoc.h"
#include "app/VXTextView.h"
#include "common/FileSizeLimit.h"
#include "common/MessageRecorder.h"
#include "platform/DocTemplate.h"
#include "platform/Help.h"
#include "resources/ResourceIds.h"

#include <QApplication>
#include <QBuffer>
#include <QColorDialog>
#include <QFile>
#include <QFontDialog>
#include <QImage>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextImageFormat>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

// --- links ---------------------------------------------------------------------------------

TEST(LessonLinks, ParsedFromALine)
{
    using K = LessonLink::Kind;
    const struct
    {
        const char* line;
        K kind;
        const char* name;
    } cases[] = {
        {"See [Pendulum.VXT] next", K::Lesson, "pendulum.vxt"},
        {"[glossary.hlp]", K::Glossary, "glossary.hlp"},
        {"[Glossary.old.HLP]", K::Glossary, "glossary.old.hlp"},
        {"[index.hlp]", K::OtherHelp, "index.hlp"},
        {"run [Duffing.ns1] and [other.ds2]", K::Model, "duffing.ns1"},
        {"[a.ds1]", K::Model, "a.ds1"},
        {"[sub/three.DS3]", K::Model, "sub/three.ds3"},
        {"[abc]", K::None, "abc"},
        {"[a.vxt.vxt]", K::None, "a.vxt.vxt"},
        {"[ns1]", K::None, "ns1"},
        {"end] before [start", K::None, ""},
        {"empty [] brackets", K::None, ""},
        {"only [ one", K::None, ""},
        {"no brackets at all", K::None, ""},
    };
    for (const auto& c : cases) {
        const LessonLink link = ParseLessonLink(c.line);
        EXPECT_EQ(link.kind, c.kind) << c.line;
        EXPECT_EQ(link.name, c.name) << c.line;
    }
}

TEST(LessonLinks, NamesFoundWithoutRegardToCase)
{
    QTemporaryDir dir;
    const fs::path root = dir.path().toStdString();
    fs::create_directories(root / "Models");
    std::ofstream(root / "Pendulum.VXT") << "x";
    std::ofstream(root / "Models" / "Duff.NS1") << "x";
    std::ofstream(root / "exact.ds2") << "x";
    const fs::path old = fs::current_path();
    fs::current_path(root);
    const std::pair<const char*, std::string> cases[] = {
        {"pendulum.vxt", "Pendulum.VXT"},
        {"models/duff.ns1", "Models/Duff.NS1"},
        {"exact.ds2", "exact.ds2"},
        {"missing.ds2", ""},
        {"models", ""}, // a folder is not a file
        {"", ""},
    };
    for (const auto& [name, found] : cases)
        EXPECT_EQ(ResolveLinkPath(name), found.empty() ? found : (root / found).string()) << name;
    EXPECT_EQ(ResolveLinkPath((root / "models" / "duff.ns1").string()),
              (root / "Models" / "Duff.NS1").string());
    fs::current_path(old);
}

// --- RTF -----------------------------------------------------------------------------------

QImage Picture()
{
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(QColor(10, 200, 30));
    image.setPixel(3, 4, qRgb(255, 0, 0));
    return image;
}

// One run of text and the formatting it must keep.
struct TextRun
{
    QString text;
    QString family;
    double points;
    bool bold, italic, underline;
    QColor colour; // invalid: the automatic colour
};

void Insert(QTextCursor& c, const TextRun& r)
{
    QTextCharFormat f;
    f.setFontFamilies({r.family});
    f.setFontPointSize(r.points);
    f.setFontWeight(r.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(r.italic);
    f.setFontUnderline(r.underline);
    if (r.colour.isValid())
        f.setForeground(r.colour);
    c.insertText(r.text, f);
}

TEST(LessonFile, RtfRoundTripKeepsTheFormatting)
{
    const std::vector<std::pair<Qt::Alignment, std::vector<TextRun>>> paragraphs = {
        {Qt::AlignHCenter,
         {{"Title {with} \\braces", "Liberation Serif", 18, true, false, false, {}},
          {" and red", "Liberation Serif", 18, true, false, false, QColor(255, 0, 0)}}},
        {Qt::AlignLeft,
         {{"See [Pendulum.VXT]\tnext: caf\u00e9 \u03a9",
           "Liberation Sans",
           11,
           false,
           true,
           true,
           {}},
          {" blue", "DejaVu Sans Mono", 9.5, false, false, false, QColor(0, 0, 255)}}},
        {Qt::AlignRight, {{"right", "Liberation Sans", 12, false, false, false, {}}}},
        {Qt::AlignJustify, {{"", "Liberation Sans", 12, false, false, false, {}}}},
    };
    QTextDocument doc;
    QTextCursor c(&doc);
    for (size_t i = 0; i < paragraphs.size(); ++i) {
        if (i > 0)
            c.insertBlock();
        QTextBlockFormat bf;
        bf.setAlignment(paragraphs[i].first);
        c.setBlockFormat(bf);
        for (const TextRun& r : paragraphs[i].second)
            Insert(c, r);
        if (i == 1) {
            doc.addResource(QTextDocument::ImageResource, QUrl("pic"), Picture());
            QTextImageFormat img;
            img.setName("pic");
            img.setWidth(40);
            img.setHeight(20);
            c.insertImage(img);
        }
    }

    QTextDocument back;
    ASSERT_TRUE(RtfToDocument(DocumentToRtf(doc), back));
    ASSERT_EQ(back.blockCount(), int(paragraphs.size()));
    QTextBlock b = back.begin();
    for (const auto& [align, runs] : paragraphs) {
        SCOPED_TRACE(b.text().toStdString());
        EXPECT_EQ(b.blockFormat().alignment() & Qt::AlignHorizontal_Mask, align);
        auto it = b.begin();
        for (const TextRun& r : runs) {
            if (r.text.isEmpty())
                continue;
            ASSERT_FALSE(it.atEnd());
            const QTextFragment f = it.fragment();
            const QTextCharFormat cf = f.charFormat();
            EXPECT_EQ(f.text(), r.text);
            EXPECT_EQ(cf.fontFamilies().toStringList().value(0), r.family);
            EXPECT_DOUBLE_EQ(cf.fontPointSize(), r.points);
            EXPECT_EQ(cf.fontWeight() == QFont::Bold, r.bold);
            EXPECT_EQ(cf.fontItalic(), r.italic);
            EXPECT_EQ(cf.fontUnderline(), r.underline);
            EXPECT_EQ(cf.foreground().style() != Qt::NoBrush, r.colour.isValid());
            if (r.colour.isValid()) {
                EXPECT_EQ(cf.foreground().color(), r.colour);
            }
            ++it;
        }
        if (b.blockNumber() == 1) {
            ASSERT_FALSE(it.atEnd());
            const QTextImageFormat img = it.fragment().charFormat().toImageFormat();
            ASSERT_TRUE(img.isValid());
            EXPECT_DOUBLE_EQ(img.width(), 40);
            EXPECT_DOUBLE_EQ(img.height(), 20);
            const QImage pic =
                back.resource(QTextDocument::ImageResource, QUrl(img.name())).value<QImage>();
            EXPECT_EQ(pic.convertToFormat(QImage::Format_RGB32), Picture());
        }
        b = b.next();
    }
}

TEST(LessonFile, ReadsWhatOtherWordProcessorsWrite)
{
    const std::string rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
        "{\\f1\\froman Times New Roman{\\*\\panose 02020603050405020304};}}"
        "{\\colortbl ;\\red0\\green128\\blue0;}{\\*\\generator Writer;}{\\info{\\title T}}"
        "\\viewkind4\\uc1\\pard\\qc\\f1\\fs28 H\\'e9llo \\b bold\\b0  \\u937?mega\\par\r\n"
        "\\pard\\cf1 green {\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt link}}\\line next\\par\n}";
    QTextDocument doc;
    ASSERT_TRUE(RtfToDocument(rtf, doc));
    ASSERT_EQ(doc.blockCount(), 2);
    EXPECT_EQ(doc.begin().text(), QString("H\u00e9llo bold \u03a9mega"));
    EXPECT_EQ(doc.begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(doc.begin().next().text(), QString("green link\u2028next"));
    const QTextCharFormat green = doc.begin().next().begin().fragment().charFormat();
    EXPECT_EQ(green.foreground().color(), QColor(0, 128, 0));
    EXPECT_EQ(green.fontFamilies().toStringList().value(0), "Times New Roman");
    EXPECT_DOUBLE_EQ(green.fontPointSize(), 14);
}

TEST(LessonFile, DamagedTextIsReadWithoutHarm)
{
    const std::string deep(100000, '{');
    const std::vector<std::string> cases = {
        "{\\rtf",
        "{\\rtf1}}}}}} text",
        "{\\rtf1 \\'",
        "{\\rtf1 \\'zz",
        "{\\rtf1{\\pict\\bin999999 ab}",
        "{\\rtf1{\\pict\\pngblip 89504e47}}",
        "{\\rtf1\\fs-99999999999999999 x\\u-99999999 y\\uc999",
        "{\\rtf1\\f99999999999 z\\cf-1 w",
        "{\\rtf1" + deep + "deep",
        "{\\rtf1\\",
    };
    for (const std::string& text : cases) {
        QTextDocument doc;
        EXPECT_TRUE(RtfToDocument(text, doc)) << text.substr(0, 40);
    }
    QTextDocument doc;
    EXPECT_FALSE(RtfToDocument(std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8), doc));
    EXPECT_FALSE(RtfToDocument("plain text", doc));
    EXPECT_TRUE(doc.isEmpty());
}

// --- lesson documents in the shell -----------------------------------------------------------

CDocTemplate* LessonTemplate()
{
    return theApp.GetDocTemplates().front();
}

CVXTextView* ViewOf(CDocument* doc)
{
    return doc && !doc->GetViews().empty() ? dynamic_cast<CVXTextView*>(doc->GetViews().front())
                                           : nullptr;
}

void WriteText(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string LessonWith(const std::string& line)
{
    return "{\\rtf1\\ansi{\\fonttbl{\\f0 Liberation Sans;}}\\f0\\fs28 A lesson\\par " + line +
           "\\par last line\\par}";
}

class Lessons : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pFrame = StartShell();
        m_old = fs::current_path();
        m_root = m_dir.path().toStdString();
        fs::current_path(m_root);
        g_nAccessLevel = 1;
    }
    void TearDown() override
    {
        theApp.CloseAllDocuments(FALSE);
        vx::help::Close();
        fs::current_path(m_old);
    }
    // A new lesson holding text.
    CVXTextDoc* NewLesson(const QString& text = {})
    {
        auto* doc = dynamic_cast<CVXTextDoc*>(LessonTemplate()->OpenDocumentFile(nullptr));
        if (doc)
            ViewOf(doc)->GetEdit()->setPlainText(text);
        return doc;
    }
    CVXTextDoc* Open(const fs::path& path)
    {
        return dynamic_cast<CVXTextDoc*>(theApp.OpenDocumentFile(path.string().c_str()));
    }
    std::vector<CDocument*> LessonDocs() { return LessonTemplate()->GetDocuments(); }

    CMainFrame* m_pFrame = nullptr;
    QTemporaryDir m_dir;
    fs::path m_root, m_old;
};

TEST_F(Lessons, LinksOpenLessonsAndTheGlossaryOrSayWhy)
{
    WriteText(m_root / "Pendulum.VXT", LessonWith("the end"));
    WriteText(m_root / "first.vxt", LessonWith("See [Pendulum.VXT] next") + "");
    WriteText(m_root / "links.vxt",
              "{\\rtf1 See [Pendulum.VXT] next\\par [glossary.hlp]\\par [index.hlp]\\par "
              "[missing.ds2]\\par [gone.vxt]\\par plain words here\\par}");
    CVXTextDoc* doc = Open(m_root / "links.vxt");
    CVXTextView* view = ViewOf(doc);
    ASSERT_NE(view, nullptr);
    QCoreApplication::processEvents();
    EXPECT_EQ(view->GetParentFrame()->GetWindowText(), "links.vxt");
    const QString shots = qEnvironmentVariable("VELTRIX_SHOTS"); // pictures to look at
    if (!shots.isEmpty())
        m_pFrame->GetWidget()->grab().save(shots + "/lesson_links.png");
    MessageRecorder recorder;

    DoubleClick(view, "Pendulum");
    ASSERT_EQ(LessonDocs().size(), 2u);
    EXPECT_EQ(view->GetLastLessonLink(), "pendulum.vxt");
    EXPECT_EQ(LessonDocs().back()->GetPathName(), (m_root / "Pendulum.VXT").string());

    const struct
    {
        const char* click;
        std::vector<std::string> messages;
        DWORD helpTopic;
        bool wordSelected; // the usual double-click happened
    } cases[] = {
        {"glossary", {}, 0x50BB9, false},
        {"index",
         {"The only path to the help system\nfrom within a lesson is through\nthe file "
          "[glossary.hlp]."},
         0,
         false},
        {"missing", {"Unable to load file.  Check for valid path."}, 0, true},
        {"gone", {"Cannot open the file gone.vxt."}, 0, true},
        {"words", {}, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.click);
        vx::help::Close();
        recorder.messages.clear();
        view->GetParentFrame()->SetFocus();
        DoubleClick(view, c.click);
        EXPECT_EQ(recorder.messages, c.messages);
        EXPECT_EQ(vx::help::ShownTopic(), c.helpTopic);
        if (!shots.isEmpty() && c.helpTopic)
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isVisible() && w->windowTitle().contains(" Help - "))
                    w->grab().save(shots + "/help_glossary.png");
        EXPECT_EQ(view->GetEdit()->textCursor().selectedText() == c.click, c.wordSelected);
        EXPECT_EQ(g_strLinkPath, "none");
    }
    EXPECT_EQ(LessonDocs().size(), 2u);
}

TEST_F(Lessons, AFileThatIsNotRtfIsNotOpened)
{
    WriteText(m_root / "old.vxt", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
    MessageRecorder recorder;
    EXPECT_EQ(Open(m_root / "old.vxt"), nullptr);
    EXPECT_EQ(recorder.messages, std::vector<std::string>{"Unexpected file format."});
    EXPECT_TRUE(LessonDocs().empty());
}

TEST_F(Lessons, AStudentsSaveGoesToTheStudentsFolder)
{
    fs::create_directory(m_root / "ann");
    g_strUserDir = (m_root / "ann").string() + "/";
    fs::create_directory(m_root / "lessons");
    const struct
    {
        std::uint32_t level;
        const char* asked;
        std::string written;
        std::vector<std::string> messages;
    } cases[] = {
        {0,
         "lessons/unit1.vxt",
         "ann/unit1.vxt",
         {"Saving the file as\n" + (m_root / "ann" / "unit1.vxt").string()}},
        {1, "lessons/unit2.vxt", "lessons/unit2.vxt", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.asked);
        g_nAccessLevel = c.level;
        CVXTextDoc* doc = NewLesson("Some words.");
        ASSERT_NE(doc, nullptr);
        MessageRecorder recorder;
        EXPECT_TRUE(doc->DoSave((m_root / c.asked).string().c_str()));
        EXPECT_EQ(recorder.messages, c.messages);
        EXPECT_TRUE(fs::exists(m_root / c.written));
        EXPECT_EQ(fs::exists(m_root / c.asked), c.asked == c.written);
        EXPECT_EQ(doc->GetPathName(), (m_root / c.written).string());
        EXPECT_EQ(ViewOf(doc)->GetParentFrame()->GetWindowText(),
                  fs::path(c.written).filename().string());
        EXPECT_FALSE(doc->IsModified());
        QTextDocument back;
        std::ifstream f(m_root / c.written);
        ASSERT_TRUE(RtfToDocument(std::string(std::istreambuf_iterator<char>(f), {}), back));
        EXPECT_EQ(back.toPlainText(), "Some words.");
    }
    // Another lesson saved under the same name from elsewhere: the student is asked before
    // the earlier one is replaced.
    g_nAccessLevel = 0;
    const fs::path earlier = m_root / "ann" / "unit1.vxt";
    const auto size = fs::file_size(earlier);
    CVXTextDoc* other = NewLesson("Other, longer words.");
    ASSERT_NE(other, nullptr);
    // Where it goes is said only when it goes.
    for (int answer : {msgbox::IDNO, msgbox::IDYES}) {
        MessageRecorder asked({answer, msgbox::IDOK});
        EXPECT_EQ(other->DoSave((m_root / "unit1.vxt").string().c_str()), answer == msgbox::IDYES);
        std::vector<std::string> told{earlier.string() +
                                      " already exists.\nDo you want to replace it?"};
        if (answer == msgbox::IDYES)
            told.push_back("Saving the file as\n" + earlier.string());
        EXPECT_EQ(asked.messages, told);
        EXPECT_EQ(fs::file_size(earlier) == size, answer == msgbox::IDNO);
    }
    // The student's own lesson chosen, however the path spells it: the file dialog has asked.
    fs::create_directory_symlink(m_root / "ann", m_root / "link");
    for (const fs::path& chosen :
         {m_root / "ann" / ".." / "ann" / "unit1.vxt",
          fs::path(m_root.string() + "/ann//unit1.vxt"), m_root / "link" / "unit1.vxt"}) {
        SCOPED_TRACE(chosen.string());
        CVXTextDoc* mine = NewLesson("Mine.");
        ASSERT_NE(mine, nullptr);
        MessageRecorder recorder;
        EXPECT_TRUE(mine->DoSave(chosen.string().c_str()));
        EXPECT_EQ(recorder.messages,
                  std::vector<std::string>{"Saving the file as\n" + earlier.string()});
    }
    MessageRecorder recorder;
    auto* doc = dynamic_cast<CVXTextDoc*>(LessonDocs().front());
    EXPECT_FALSE(doc->OnSaveDocument("unit1.vxt"));
    EXPECT_EQ(recorder.messages,
              std::vector<std::string>{"Unable to save file.\nPath is incomplete."});
}

// A lesson's Save or Save As that the disk cannot take keeps the old file and the name.
TEST_F(Lessons, AFailedSaveKeepsTheFileAndTheName)
{
    fs::create_directory(m_root / "lessons");
    const fs::path saved = m_root / "lessons" / "a.vxt";
    for (const char* target : {"a.vxt", "b.vxt"}) {
        SCOPED_TRACE(target);
        CVXTextDoc* doc = NewLesson("Some words.");
        ASSERT_NE(doc, nullptr);
        ASSERT_TRUE(doc->DoSave(saved.string().c_str()));
        const auto before = fs::file_size(saved);
        ViewOf(doc)->GetEdit()->insertPlainText(std::string(5000, 'w').c_str());
        MessageRecorder recorder;
        {
            FileSizeLimit limit(before + 100);
            EXPECT_FALSE(doc->DoSave((m_root / "lessons" / target).string().c_str()));
        }
        EXPECT_EQ(recorder.messages,
                  std::vector<std::string>{"Failed to save document " +
                                           (m_root / "lessons" / target).string() +
                                           ".\nFile too large."});
        EXPECT_EQ(fs::file_size(saved), before);
        EXPECT_EQ(fs::exists(m_root / "lessons" / "b.vxt"), false);
        EXPECT_EQ(doc->GetPathName(), saved.string());
        EXPECT_EQ(doc->m_strTitleText, "a.vxt");
        EXPECT_EQ(ViewOf(doc)->GetParentFrame()->GetWindowText(), "a.vxt");
        EXPECT_TRUE(doc->IsModified());
        doc->SetModifiedFlag(FALSE);
        doc->OnCloseDocument();
    }
}

TEST_F(Lessons, PrintsInPagesWithinTheMargins)
{
    QString text;
    for (int i = 0; i < 150; ++i)
        text += QString("Line %1 of a long lesson.\n").arg(i);
    CVXTextDoc* doc = NewLesson(text);
    ASSERT_NE(doc, nullptr);
    const QString pdf = QString::fromStdString((m_root / "lesson.pdf").string());
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(pdf);
    theApp.SetPrinter(std::move(printer));
    CPrintInfo info;
    info.m_bDirect = TRUE;
    ASSERT_TRUE(ViewOf(doc)->OnPreparePrinting(&info));
    EXPECT_GE(info.GetMaxPage(), 3u);
    ViewOf(doc)->PrintPages(info.m_pPrinter, &info);
    theApp.SetPrinter(nullptr);
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll().count("/Type /Page\n"), info.GetMaxPage()); // one object per sheet
}

// A new lesson's caption, toolbar and menu; its Edit and Window commands.
TEST_F(Lessons, EditAndWindowMenusWorkOnTheActiveLesson)
{
    CVXTextDoc* doc = NewLesson("alpha beta gamma beta");
    ASSERT_NE(doc, nullptr);
    QCoreApplication::processEvents();
    EXPECT_EQ(ViewOf(doc)->GetParentFrame()->GetWindowText(), "New Lesson");
    EXPECT_EQ(m_pFrame->m_wndToolBar.GetLoadedID(), IDR_MAINFRAME);
    EXPECT_EQ(m_pFrame->GetShownMenu(), IDR_VXTEXTTYPE);
    EXPECT_EQ(g_strLinkPath, "none");
    QTextEdit* edit = ViewOf(doc)->GetEdit();
    auto find = [](const char* what, const char* with, bool all) {
        return [=](QDialog* d) {
            d->findChild<QLineEdit*>("what")->setText(what);
            if (auto* w = d->findChild<QLineEdit*>("with"))
                w->setText(with);
            if (all)
                d->findChild<QPushButton*>("all")->click();
            else
                d->accept();
        };
    };
    const struct
    {
        UINT command;
        std::vector<ModalDriver::Step> answers;
        const char* text;
        const char* selected;
        int selectionStart; // -1: not looked at
    } steps[] = {
        {ID_EDIT_SELECT_ALL, {}, "alpha beta gamma beta", "alpha beta gamma beta", 0},
        {ID_EDIT_CUT, {}, "", "", -1},
        {ID_EDIT_UNDO, {}, "alpha beta gamma beta", "", -1},
        {ID_EDIT_FIND, {find("Beta", "", false)}, "alpha beta gamma beta", "beta", 6},
        {ID_EDIT_REPEAT, {}, "alpha beta gamma beta", "beta", 17},
        {ID_EDIT_REPEAT, {}, "alpha beta gamma beta", "beta", 6}, // round from the top
        {ID_EDIT_REPLACE, {find("beta", "BETA", true)}, "alpha BETA gamma BETA", "", -1},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.command);
        ModalDriver driver(s.answers);
        EXPECT_TRUE(m_pFrame->ExecuteCommand(s.command));
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(edit->toPlainText(), s.text);
        EXPECT_EQ(edit->textCursor().selectedText(), s.selected);
        if (s.selectionStart >= 0) {
            EXPECT_EQ(edit->textCursor().selectionStart(), s.selectionStart);
        }
    }

    CDocument* other = LessonTemplate()->OpenDocumentFile(nullptr);
    ASSERT_NE(other, nullptr);
    QCoreApplication::processEvents();
    auto tile = [&](UINT command) {
        EXPECT_TRUE(m_pFrame->ExecuteCommand(command));
        const QRect a = ViewOf(doc)->GetParentFrame()->GetFrameWidget()->geometry();
        const QRect b = ViewOf(other)->GetParentFrame()->GetFrameWidget()->geometry();
        EXPECT_FALSE(a.intersects(b));
        return std::pair{a, b};
    };
    const auto [left, right] = tile(ID_WINDOW_TILE_VERT);
    EXPECT_EQ(left.top(), right.top());
    EXPECT_NE(left.left(), right.left());
    const auto [top, bottom] = tile(ID_WINDOW_TILE_HORZ);
    EXPECT_EQ(top.left(), bottom.left());
}

TEST_F(Lessons, FontCommandSetsFontAndColourOfTheSelection)
{
    CVXTextDoc* doc = NewLesson("plain coloured");
    ASSERT_NE(doc, nullptr);
    QTextEdit* edit = ViewOf(doc)->GetEdit();
    QTextCursor c = edit->document()->find("coloured");
    edit->setTextCursor(c);
    ModalDriver driver({[](QDialog* d) {
                            QFont f("Liberation Serif", 20);
                            f.setBold(true);
                            d->findChild<QFontDialog*>()->setCurrentFont(f);
                            d->findChild<QPushButton*>("colour")->click();
                            d->accept();
                        },
                        [](QDialog* d) {
                            static_cast<QColorDialog*>(d)->setCurrentColor(QColor(200, 0, 0));
                            d->accept();
                        }});
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_FORMAT_FONT));
    EXPECT_TRUE(driver.Done());
    const QTextCharFormat f = edit->textCursor().charFormat();
    EXPECT_EQ(f.fontFamilies().toStringList().value(0), "Liberation Serif");
    EXPECT_DOUBLE_EQ(f.fontPointSize(), 20);
    EXPECT_EQ(f.fontWeight(), QFont::Bold);
    EXPECT_EQ(f.foreground().color(), QColor(200, 0, 0));
    QTextCursor plain(edit->document());
    plain.setPosition(2);
    EXPECT_NE(plain.charFormat().fontWeight(), QFont::Bold);
}

// One key ends the Font dialog, as any other: the font chooser in it is a dialog of its own, whose
// Esc or Enter must not end it alone and leave the dialog empty.
TEST_F(Lessons, FontDialogEndsAtOneKey)
{
    CVXTextDoc* doc = NewLesson("plain");
    ASSERT_NE(doc, nullptr);
    QTextEdit* edit = ViewOf(doc)->GetEdit();
    const struct
    {
        const char* name;
        Qt::Key key;
        bool taken;
    } keys[] = {{"Esc", Qt::Key_Escape, false}, {"Enter", Qt::Key_Return, true}};
    for (const auto& k : keys) {
        SCOPED_TRACE(k.name);
        edit->selectAll();
        edit->setCurrentCharFormat(QTextCharFormat());
        bool stillShown = false;
        ModalDriver driver({[&](QDialog* d) {
            d->findChild<QFontDialog*>()->setCurrentFont(QFont("Liberation Serif", 20));
            QTest::keyClick(QApplication::focusWidget(), k.key);
            stillShown = d->isVisible();
            if (stillShown)
                d->reject();
        }});
        ASSERT_TRUE(Choose(ID_FORMAT_FONT));
        EXPECT_TRUE(driver.Done());
        EXPECT_FALSE(stillShown);
        EXPECT_EQ(edit->textCursor().charFormat().fontPointSize() == 20, k.taken);
    }
}

TEST_F(Lessons, InsertedPicturesAreSavedWithTheLesson)
{
    Picture().save(QString::fromStdString((m_root / "dot.png").string()));
    CVXTextDoc* doc = NewLesson("Look: ");
    ASSERT_NE(doc, nullptr);
    ViewOf(doc)->GetEdit()->moveCursor(QTextCursor::End);
    FileDialogHook old = SetFileDialogHook(
        [this](bool, const std::string&) { return (m_root / "dot.png").string(); });
    ASSERT_TRUE(m_pFrame->ExecuteCommand(ID_OLE_INSERT_NEW));
    SetFileDialogHook(std::move(old));
    EXPECT_EQ(doc->GetItems().size(), 1u);
    ASSERT_TRUE(doc->DoSave((m_root / "pictured.vxt").string().c_str()));
    doc->OnCloseDocument();

    CVXTextDoc* back = Open(m_root / "pictured.vxt");
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(back->GetItems().size(), 1u);
    const QVariant image = back->GetTextDocument()->resource(
        QTextDocument::ImageResource, QUrl(QString::fromStdString(back->GetItems()[0]->GetName())));
    EXPECT_EQ(image.value<QImage>().convertToFormat(QImage::Format_RGB32), Picture());
    EXPECT_EQ(back->GetTextDocument()->toPlainText(),
              QString("Look: ") + QChar::ObjectReplacementCharacter);
}

// A lesson whose first line is a picture taller than the window shows the picture's top when it
// opens and at Ctrl+Home, from below and from the end.
TEST_F(Lessons, ALessonOpensAtItsTop)
{
    QImage tall(60, 1500, QImage::Format_RGB32);
    tall.fill(Qt::blue);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    tall.save(&buffer, "PNG");
    WriteText(m_root / "tall.vxt", "{\\rtf1{\\pict\\pngblip\\picw60\\pich1500 " +
                                       png.toHex().toStdString() + "}\\par after it\\par}");
    const FileDialogHook old = SetFileDialogHook(
        [this](bool, const std::string&) { return (m_root / "tall.vxt").string(); });
    EXPECT_TRUE(Choose(ID_FILE_OPEN, m_pFrame));
    SetFileDialogHook(old);
    ASSERT_EQ(LessonDocs().size(), 1u);
    QTextEdit* edit = ViewOf(LessonDocs().front())->GetEdit();
    QCoreApplication::processEvents();
    ASSERT_GT(edit->cursorRect().height(), edit->viewport()->height());
    QScrollBar* bar = edit->verticalScrollBar();
    EXPECT_EQ(bar->value(), 0);
    const struct
    {
        const char* what;
        Qt::KeyboardModifiers keys;
        bool fromTheEnd;
    } cases[] = {{"Ctrl+Home", Qt::ControlModifier, false},
                 {"Ctrl+Home from the end", Qt::ControlModifier, true},
                 {"Ctrl+Shift+Home", Qt::ControlModifier | Qt::ShiftModifier, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.fromTheEnd)
            QTest::keyClick(edit, Qt::Key_End, Qt::ControlModifier);
        else
            bar->setValue(bar->maximum() / 2);
        ASSERT_GT(bar->value(), 0);
        QTest::keyClick(edit, Qt::Key_Home, c.keys);
        QCoreApplication::processEvents();
        EXPECT_EQ(bar->value(), 0);
        EXPECT_EQ(edit->textCursor().position(), 0);
    }
}

} // namespace
