// Enter and Esc in the program's dialogs under a desktop theme whose Return presses buttons, as
// GNOME's does, with real keys through the X server. UnderWindowManager.sh runs these with that
// theme; elsewhere they are skipped.
#if defined(HAVE_VELTRIX_VIEWSGRAPH) && defined(HAVE_VELTRIX_DIALOGS) &&                           \
    defined(HAVE_VELTRIX_VIEWSPHASE)
#include "app/Configuration.h"
#include "app/MenuDriver.h"
#include "app/ModalDriver.h"
#include "app/Rtf.h"
#include "app/ShellGlobals.h"
#include "app/VXTextDoc.h"
#include "app/VXTextView.h"
#include "app/XInput.h"
#include "common/TypeText.h"
#include "dialogs/ModelPropSheet.h"
#include "resources/ResourceIds.h"
#include "views/phase/VectorFieldView.h"

#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextEdit>
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Whether the theme has a group box take Return for itself, as it has a button.
bool ThemePressesWithReturn()
{
    QGroupBox box;
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    static_cast<QObject&>(box).event(&key);
    return key.isAccepted();
}

// The keys go to the dialog once the window manager has framed it and given it the focus; to
// the control given, or where the dialog put the focus.
bool Focus(QDialog* d, QWidget* control)
{
    const bool active = PumpUntil([d] {
        if (XInput::Get().Framed(d->windowHandle()) && QApplication::activeWindow() != d)
            d->activateWindow();
        return XInput::Get().Active(d->windowHandle()) && QApplication::activeWindow() == d;
    });
    if (!control)
        return active;
    control->setFocus();
    return active && AnswerCame([control] { return control->hasFocus(); });
}

// The start-up of a student's configuration, which asks the log-on name, in a folder of its
// own. The shell's globals and the folder are given back when it ends.
class StudentStart
{
public:
    StudentStart()
    {
        const auto old = std::filesystem::current_path();
        std::filesystem::current_path(m_dir.path().toStdString());
        g_strStartDir = m_dir.path().toStdString();
        std::ofstream("KRVX500.CFG", std::ios::binary).write("\0\0\0\0\0", 5);
        StartUpConfiguration();
        std::filesystem::current_path(old);
    }
    ~StudentStart()
    {
        std::tie(g_nAccessLevel, g_strTeacherPassword, g_strLogOnName, g_strStartDir,
                 g_strUserDir) = m_globals;
    }
    StudentStart(const StudentStart&) = delete;
    StudentStart& operator=(const StudentStart&) = delete;

private:
    const std::tuple<std::uint32_t, std::string, std::string, std::string, std::string> m_globals{
        g_nAccessLevel, g_strTeacherPassword, g_strLogOnName, g_strStartDir, g_strUserDir};
    const QTemporaryDir m_dir;
};

// The log-on name taken.
std::string StartAsStudent()
{
    const StudentStart student;
    return g_strLogOnName;
}

QLineEdit* TypeIn(QLineEdit* edit, const char* text)
{
    Type(edit, text);
    return edit;
}

// Shows a box while the main window runs, as the program does; its answer kept.
std::function<void()> Ask(unsigned type, int& answer)
{
    return [type, &answer] {
        const ShownMessageBoxes shown;
        answer = AfxMessageBox("Go on?", type);
    };
}

// The command, with its message boxes shown.
std::function<void()> ChooseAsking(UINT id)
{
    return [id] {
        const ShownMessageBoxes shown;
        Choose(id);
    };
}

// Save As of the active lesson with its message boxes shown, their texts kept in told; the boxes
// after the first forKeys are closed (a question answered No), so that one that comes out of
// turn ends the case instead of waiting.
void SaveAsTelling(std::vector<std::string>& told, std::size_t forKeys)
{
    // GTK's own file dialog takes no typing from here: the name goes into Qt's.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    {
        const ShownMessageBoxes shown;
        const MessageBoxHook show = SetMessageBoxHook({});
        SetMessageBoxHook([&](const std::string& text, unsigned type) {
            told.push_back(text);
            std::optional<ModalDriver> closes;
            if (told.size() > forKeys)
                closes.emplace(std::vector<ModalDriver::Step>{Reject});
            return show(text, type);
        });
        Choose(ID_FILE_SAVE_AS);
        SetMessageBoxHook(show);
    }
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, false);
}

// Counts the Returns that reach a control itself. A focused button is its dialog's default too,
// so one handed past it is pressed all the same: only this tells the two apart.
class ReturnsSeen : public QObject
{
public:
    ReturnsSeen(QWidget* control, int& count) : QObject(control), m_count(count)
    {
        control->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* e) override
    {
        m_count +=
            e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Return;
        return false;
    }

private:
    int& m_count;
};

std::string FileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct KeyCase
{
    const char* what;
    std::function<void()> open;                 // as the user reaches the dialog
    std::function<QWidget*(QDialog*)> prepare;  // the control to focus; none: the dialog's own
    std::vector<const char*> keys;              // X key names, one after the other
    int result;                                 // the one way the dialog ended
    std::function<bool()> done;                 // what the dialog did
    std::vector<ModalDriver::Step> before = {}; // the dialogs on the way, answered as given
};

} // namespace

TEST(DesktopTheme, EnterTakesTheDefaultButtonAndEscCancels)
{
    if (QGuiApplication::platformName() != "xcb")
        GTEST_SKIP() << "needs an X display with a window manager";
    if (!ThemePressesWithReturn())
        GTEST_SKIP() << "needs a desktop theme whose Return presses buttons (GNOME's)";
    ASSERT_TRUE(XInput::Get().Ready()) << "needs the X test extension";
    StartShell()->GetWidget()->show();
    CDynSys* doc = NewModel(IDR_SYS2TYPE);
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(RunThroughMenu(doc)); // Auto Scale needs a run
    std::string name;
    double tMin = 0; // before each case
    int autoScaled = 0, returnsOnAutoScale = 0;
    auto limits = [] { Choose(ID_CONTROLS_SET_LIMITS); };
    // The dialog opens in tmin.
    auto tMinField = [](QDialog* d) { return qobject_cast<QLineEdit*>(d->focusWidget()); };
    CVectorFieldView* field = nullptr;
    auto fixedPoints = [&] { // a Yes/No box
        const ShownMessageBoxes shown;
        Choose(ID_VECTOR_FIELD);
        for (CView* v : doc->GetViews())
            if (!field)
                field = dynamic_cast<CVectorFieldView*>(v);
        if (field)
            QTest::mouseClick(field->Button(CVectorFieldView::kLayerF, false).GetWidget(),
                              Qt::LeftButton);
    };
    const QTemporaryDir folder;
    const std::string saved = folder.filePath("keys.vxt").toStdString();
    QTextEdit* text = nullptr;
    auto lessonFont = [&] { // a saved lesson, a word selected
        auto* lesson = TemplateOf(IDR_VXTEXTTYPE)->OpenDocumentFile(nullptr);
        text = static_cast<CVXTextView*>(lesson->GetViews().front())->GetEdit();
        text->insertPlainText("plain words");
        lesson->DoSave(saved.c_str());
        text->setTextCursor(text->document()->find("words"));
        Choose(ID_FORMAT_FONT);
    };
    auto sizeField = [](QDialog* d) {
        QLineEdit* size = nullptr; // the chooser's one field that takes numbers
        for (QLineEdit* e : d->findChildren<QLineEdit*>())
            if (e->validator())
                size = e;
        return TypeIn(size, "20");
    };
    auto lessons = [] { return TemplateOf(IDR_VXTEXTTYPE)->GetDocuments().size(); };
    int answer = 0;
    const std::string another = "{\\rtf1 another lesson}";
    std::string anotherPath, anotherAfter;
    std::vector<std::string> toldOverAnother;
    auto saveOverAnother = [&] { // a student's Save As under the name of another lesson
        const StudentStart student;
        anotherPath = g_strUserDir + "unit.vxt";
        std::ofstream(anotherPath, std::ios::binary) << another;
        CDocument* lesson = TemplateOf(IDR_VXTEXTTYPE)->OpenDocumentFile(nullptr);
        SaveAsTelling(toldOverAnother, 1); // the keys answer the question
        lesson->OnCloseDocument();
        anotherAfter = FileText(anotherPath);
    };
    std::string own, ownWritten, ownAfter, ownTitle;
    std::vector<std::string> told; // by the program
    int dialogAsked = 0;
    auto saveOverOwn = [&] { // a student's Save As over a lesson of her own folder
        const StudentStart student;
        own = g_strUserDir + "mine.vxt";
        std::ofstream(own, std::ios::binary) << another;
        auto* lesson =
            static_cast<CVXTextDoc*>(TemplateOf(IDR_VXTEXTTYPE)->OpenDocumentFile(nullptr));
        CView* view = lesson->GetViews().front();
        static_cast<CVXTextView*>(view)->GetEdit()->insertPlainText("new words");
        // The keys go to the file dialog's question; the program's boxes after it are closed.
        SaveAsTelling(told, 0);
        ownWritten = DocumentToRtf(*lesson->GetTextDocument());
        ownTitle = view->GetParentFrame()->GetWindowText();
        lesson->OnCloseDocument();
        ownAfter = FileText(own);
    };

    const KeyCase cases[] = {
        {"Return in the log-on name",
         [&name] { name = StartAsStudent(); },
         [](QDialog* d) { return TypeIn(d->findChild<QLineEdit*>(), "ann"); },
         {"Return"},
         IDOK,
         [&name] { return name == "ann"; }},
        {"keypad Enter in Set Plot Boundaries",
         limits,
         [&](QDialog* d) { return TypeIn(tMinField(d), "1"); },
         {"KP_Enter"},
         IDOK,
         [doc] { return doc->m_dGraphTMin == 1; }},
        {"Return on the focused Auto Scale presses it, Esc cancels what was typed",
         limits,
         [&](QDialog* d) {
             Type(tMinField(d), "3");
             QPushButton* button = nullptr;
             for (QPushButton* b : d->findChildren<QPushButton*>())
                 if (b->text() == "Auto Scale")
                     button = b;
             QObject::connect(button, &QPushButton::clicked, [&autoScaled] { ++autoScaled; });
             new ReturnsSeen(button, returnsOnAutoScale);
             return button;
         },
         {"Return", "Escape"},
         IDCANCEL,
         [&] { return autoScaled == 1 && returnsOnAutoScale == 1 && doc->m_dGraphTMin == tMin; }},
        // Last: the new start value ends the run.
        {"Return in a property page's field",
         [] { Choose(ID_VIEW_SET_PROPERTIES); },
         [](QDialog* d) {
             auto* sheet = dynamic_cast<CModelPropSheet*>(CWnd::FromWidget(d));
             sheet->SetActivePage(3);
             return TypeIn(sheet->GetPage(3)->GetWidget()->findChild<QLineEdit*>(), "2");
         },
         {"Return"},
         IDOK,
         [doc] { return doc->m_dInitX == 2; }},
        {"Return in a Yes/No box",
         fixedPoints,
         nullptr,
         {"Return"},
         QMessageBox::Yes,
         [&field] { return field && field->Valid(CVectorFieldView::kLayerF); }},
        {"Return in an OK/Cancel box",
         Ask(MB_OKCANCEL, answer),
         nullptr,
         {"Return"},
         QMessageBox::Ok,
         [&answer] { return answer == IDOK; }},
        {"Return in a box whose call names its second button",
         Ask(MB_YESNOCANCEL | MB_DEFBUTTON2, answer),
         nullptr,
         {"Return"},
         QMessageBox::No,
         [&answer] { return answer == IDNO; }},
        {"Return in the Font dialog's size",
         lessonFont,
         sizeField,
         {"Return"},
         QDialog::Accepted,
         [&text] { return text->textCursor().charFormat().fontPointSize() == 20; }},
        {"Esc in Save changes",
         ChooseAsking(ID_FILE_CLOSE),
         nullptr,
         {"Escape"},
         QMessageBox::Cancel,
         [&lessons] { return lessons() == 1; }},
        {"Return in Save changes saves",
         ChooseAsking(ID_FILE_CLOSE),
         nullptr,
         {"Return"},
         QMessageBox::Yes,
         [&] { return lessons() == 0 && FileText(saved).find("\\fs40") != std::string::npos; }},
        {"Return where Yes would replace another of the student's lessons",
         saveOverAnother,
         nullptr,
         {"Return"},
         QMessageBox::No,
         [&] { // asked first; after No nothing written and nothing more said
             return anotherAfter == another &&
                    toldOverAnother ==
                        std::vector<std::string>{anotherPath +
                                                 " already exists.\nDo you want to replace it?"} &&
                    !std::filesystem::exists(folder.filePath("unit.vxt").toStdString());
         },
         {[](QDialog* d) { // the log-on
              d->findChild<QLineEdit*>()->setText("bob");
              d->accept();
          },
          [&folder](QDialog* d) { // Save As, the name of the other lesson in another folder
              d->findChild<QLineEdit*>("fileNameEdit")->setText(folder.filePath("unit.vxt"));
              d->accept();
          }}},
        {"Return on Replace when the file dialog asks about the student's own lesson",
         saveOverOwn,
         [&dialogAsked](QDialog* d) {
             auto* box = qobject_cast<QMessageBox*>(d);
             dialogAsked += box && box->text().contains("Do you want to replace it?");
             return box ? box->button(QMessageBox::Yes) : nullptr;
         },
         {"Return"},
         QMessageBox::Yes,
         [&] { // the one question, the dialog's
             return dialogAsked == 1 &&
                    told == std::vector<std::string>{"Saving the file as\n" + own} &&
                    ownAfter == ownWritten && ownTitle == "mine.vxt";
         },
         {[](QDialog* d) { // the log-on
              d->findChild<QLineEdit*>()->setText("cat");
              d->accept();
          },
          [&own](QDialog* d) { // Save As, the lesson in her folder
              d->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(own));
              d->accept();
          }}},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<int> results;
        tMin = doc->m_dGraphTMin;
        std::vector<ModalDriver::Step> steps = c.before;
        steps.push_back([&](QDialog* d) {
            const QPointer<QDialog> dialog(d);
            QObject::connect(d, &QDialog::finished, [&results](int r) { results.push_back(r); });
            const bool focused = Focus(d, c.prepare ? c.prepare(d) : nullptr);
            EXPECT_TRUE(focused) << "the keys cannot reach " << d->windowTitle().toStdString();
            for (const char* key : c.keys)
                if (focused)
                    XInput::Get().Keys({key});
            // A dialog the keys left open is called off: the test fails instead of waiting.
            EXPECT_TRUE(AnswerCame([&dialog] { return !dialog || !dialog->isVisible(); }))
                << "the dialog stayed open";
            if (dialog && dialog->isVisible())
                dialog->reject();
        });
        ModalDriver driver(std::move(steps));
        c.open();
        ASSERT_TRUE(AnswerCame([&driver] {
            return driver.Done() && !QApplication::activeModalWidget();
        })) << "no dialog came up, or one stayed";
        EXPECT_EQ(results, std::vector<int>{c.result});
        EXPECT_TRUE(c.done());
    }
    doc->SetModifiedFlag(FALSE);
    doc->OnCloseDocument();
}
#endif
