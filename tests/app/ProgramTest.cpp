// The program finds the document and view classes of every kind that is built.
#include "app/DocTypes.h"
#include "platform/RuntimeClass.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

bool IsPlaceholder(const CRuntimeClass* c)
{
    return std::strncmp(c->m_lpszClassName, "CPlaceholder", 12) == 0;
}

TEST(Program, BuiltModelKindsAreUsedInsteadOfPlaceholders)
{
#ifndef HAVE_VELTRIX_MODEL
    GTEST_SKIP() << "the model documents are not built";
#else
    const auto& types = ShellDocTypes();
    ASSERT_EQ(types.size(), 5u);
    for (size_t i = 1; i < types.size(); ++i) {
        EXPECT_FALSE(IsPlaceholder(FindDocClass(types[i].docClass))) << types[i].docClass;
#ifdef HAVE_VELTRIX_VIEWSGRAPH
        EXPECT_FALSE(IsPlaceholder(FindViewClass(types[i].viewClass))) << types[i].viewClass;
#endif
    }
#endif
}

} // namespace

#ifdef HAVE_VELTRIX_VIEWSGRAPH
#include "app/LessonFixture.h"
#include "app/MenuDriver.h"
#include "app/ShellFixture.h"
#include "app/ShellGlobals.h"
#include "app/VXTextDoc.h"
#include "common/MessageRecorder.h"
#include "model/DynSys.h"
#include "platform/DocTemplate.h"
#include "platform/Document.h"
#include "platform/Help.h"
#include "platform/Resources.h"
#include "platform/View.h"
#include "resources/ResourceIds.h"

#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <fstream>

namespace {

// The main toolbar shows the buttons of the active model's kind and the shell's own again once
// the last model document has closed.
TEST(Program, ToolbarFollowsTheActiveModelKind)
{
    CMainFrame* frame = StartShell();
    ASSERT_NE(frame, nullptr);
    ASSERT_EQ(frame->m_wndToolBar.GetLoadedID(), IDR_MAINFRAME);
    CDocument* two = TemplateOf(IDR_SYS2TYPE)->OpenDocumentFile(nullptr);
    ASSERT_NE(two, nullptr);
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->m_wndToolBar.GetLoadedID(), IDR_SYS2TYPE);
    CDocument* newtonian = TemplateOf(IDR_SYS1TYPE)->OpenDocumentFile(nullptr);
    ASSERT_NE(newtonian, nullptr);
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->m_wndToolBar.GetLoadedID(), IDR_SYS1TYPE);
    newtonian->OnCloseDocument();
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->m_wndToolBar.GetLoadedID(), IDR_SYS2TYPE);
    two->OnCloseDocument();
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->m_wndToolBar.GetLoadedID(), IDR_MAINFRAME);
}

// Help mode over a Graph vs Time view and F1 in it give the topic of View/Graph vs Time.
TEST(Program, GraphViewHelpIsTheTopicOfItsViewCommand)
{
    ASSERT_NE(StartShell(), nullptr);
    CDocument* doc = TemplateOf(IDR_SYS1NNTYPE)->OpenDocumentFile(nullptr);
    ASSERT_NE(doc, nullptr);
    ASSERT_FALSE(doc->GetViews().empty());
    CView* view = doc->GetViews().front();
    EXPECT_EQ(view->SendMessage(WM_HELPHITTEST), LRESULT(0x18008));
    EXPECT_EQ(view->SendMessage(WM_COMMANDHELP), LRESULT(TRUE));
    EXPECT_EQ(vx::help::ShownTopic(), DWORD(0x18008));
    vx::help::Close();
    doc->OnCloseDocument();
}

// A lesson's link opens a model file whose name differs in case; the toolbar follows the
// active document's type.
TEST(Program, LessonLinksOpenModelsAndTheToolbarFollows)
{
    CMainFrame* frame = StartShell();
    ASSERT_NE(frame, nullptr);
    QTemporaryDir dir;
    const std::filesystem::path root = dir.path().toStdString();
    const std::filesystem::path old = std::filesystem::current_path();
    std::filesystem::current_path(root);
    CDocument* model = TemplateOf(IDR_SYS1TYPE)->OpenDocumentFile(nullptr);
    ASSERT_NE(model, nullptr);
    ASSERT_TRUE(model->DoSave((root / "Duffing.NS1").string().c_str()));
    model->OnCloseDocument();
    std::ofstream(root / "links.vxt") << "{\\rtf1 Run [duffing.ns1] now\\par}";

    auto* lesson = dynamic_cast<CVXTextDoc*>(theApp.OpenDocumentFile((root / "links.vxt").c_str()));
    ASSERT_NE(lesson, nullptr);
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->m_wndToolBar.GetLoadedID(), IDR_MAINFRAME);
    auto* view = dynamic_cast<CVXTextView*>(lesson->GetViews().front());
    MessageRecorder recorder;
    DoubleClick(view, "duffing");
    EXPECT_TRUE(recorder.messages.empty());
    ASSERT_EQ(TemplateOf(IDR_SYS1TYPE)->GetDocuments().size(), 1u);
    CDocument* linked = TemplateOf(IDR_SYS1TYPE)->GetDocuments().front();
    EXPECT_EQ(linked->GetPathName(), (root / "Duffing.NS1").string());
    EXPECT_EQ(g_strLinkPath, (root / "Duffing.NS1").string());
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->m_wndToolBar.GetLoadedID(), IDR_SYS1TYPE);

    static_cast<CMDIChildWnd*>(view->GetParentFrame())->MDIActivate();
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->m_wndToolBar.GetLoadedID(), IDR_MAINFRAME);
    static_cast<CMDIChildWnd*>(linked->GetViews().front()->GetParentFrame())->MDIActivate();
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->m_wndToolBar.GetLoadedID(), IDR_SYS1TYPE);
    theApp.CloseAllDocuments(FALSE);
    std::filesystem::current_path(old);
}

void CollectCommands(const std::vector<vx::res::MenuItem>& items, std::vector<UINT>& ids)
{
    for (const vx::res::MenuItem& item : items) {
        if (item.id != 0 && (item.id < ID_FILE_MRU_FILE1 || item.id > ID_FILE_MRU_FILE4))
            ids.push_back(item.id);
        CollectCommands(item.items, ids);
    }
}

// A model file whose parameter text is damaged opens with its message and is not run until the
// parameter is mended (it would run with the parameter as 0).
TEST(Program, AModelWithADamagedParameterIsNotRun)
{
    ASSERT_NE(StartShell(), nullptr);
    auto* doc = dynamic_cast<CDynSys*>(TemplateOf(IDR_SYS2TYPE)->OpenDocumentFile(nullptr));
    ASSERT_NE(doc, nullptr);
    doc->m_strParamB = "2*";
    QTemporaryDir dir;
    const std::string path = dir.filePath("damaged.ds2").toStdString();
    ASSERT_TRUE(doc->OnSaveDocument(path.c_str()));
    doc->OnCloseDocument();
    auto* opened = dynamic_cast<CDynSys*>(TemplateOf(IDR_SYS2TYPE)->OpenDocumentFile(path.c_str()));
    ASSERT_NE(opened, nullptr);
    MessageRecorder boxes;
    ASSERT_TRUE(Choose(ID_CONTROLS_RUN));
    EXPECT_FALSE(opened->m_bRunning || opened->m_bHaveData);
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(boxes.messages[0].rfind("The system parameter b:\n[2*]\n", 0), 0u);
    opened->m_strParamB = "2"; // as the data-entry window or the Space page stores it
    opened->m_dParamB = 2;
    EXPECT_TRUE(RunThroughMenu(opened));
    opened->SetModifiedFlag(FALSE);
    opened->OnCloseDocument();
}

// The examples that the data-entry help gives ("<tt>name=value</tt>") are taken by a new model of
// every kind, typed into its data-entry window.
TEST(Program, DataEntryHelpExamplesAreAccepted)
{
    ASSERT_NE(StartShell(), nullptr);
    const vx::res::HelpTopic* page = vx::res::FindHelpTopic(0x507D1);
    ASSERT_NE(page, nullptr);
    std::vector<std::string> examples;
    for (size_t at = page->html.find("<tt>"); at != std::string::npos;
         at = page->html.find("<tt>", at + 1)) {
        const std::string line = page->html.substr(at + 4, page->html.find("</tt>", at) - at - 4);
        if (line.back() != '=') // a query, or a colour's dialog
            examples.push_back(line);
    }
    ASSERT_GE(examples.size(), 3u);
    for (UINT kind : {IDR_SYS1TYPE, IDR_SYS1NNTYPE, IDR_SYS2TYPE, IDR_SYS3TYPE}) {
        auto* doc = dynamic_cast<CDynSys*>(TemplateOf(kind)->OpenDocumentFile(nullptr));
        ASSERT_NE(doc, nullptr);
        QLineEdit* edit = doc->DataEntry()->GetWidget()->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        MessageRecorder boxes;
        for (const std::string& line : examples) {
            edit->clear();
            QTest::keyClicks(edit, QString::fromStdString(line));
            QTest::keyClick(edit, Qt::Key_Return);
            EXPECT_EQ(boxes.messages, std::vector<std::string>{}) << line << " " << kind;
            boxes.messages.clear();
        }
        doc->SetModifiedFlag(FALSE);
        doc->OnCloseDocument();
    }
}

// An equation typed after an initial value is checked at the state that the value gave: where
// the old state had a value and the new one has none, and the other way round.
TEST(Program, DataEntryChecksAnEquationAtTheStateAnInitialValueGave)
{
    ASSERT_NE(StartShell(), nullptr);
    struct Case
    {
        UINT kind;
        const char* initial; // moves the variable below 0
        std::string CModelSettings::*equation;
        const char *key, *noValue, *valued; // at the new state
    };
    const Case cases[] = {
        {IDR_SYS1TYPE, "ix'=-1", &CModelSettings::m_strDragForce, "drgf", "sqrt(x')", "log(-x')"},
        {IDR_SYS1NNTYPE, "ix=-1", &CModelSettings::m_strXRate, "x'", "sqrt(x)", "-x^0.5+0.1"},
        {IDR_SYS2TYPE, "iy=-1", &CModelSettings::m_strYRate, "y'", "sqrt(y)", "log(-y)"},
        {IDR_SYS3TYPE, "iz=-1", &CModelSettings::m_strZRate, "z'", "sqrt(z)", "log(-z)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        auto* doc = dynamic_cast<CDynSys*>(TemplateOf(c.kind)->OpenDocumentFile(nullptr));
        ASSERT_NE(doc, nullptr);
        QLineEdit* edit = doc->DataEntry()->GetWidget()->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        const auto enter = [edit](const std::string& line) {
            edit->setText(QString::fromStdString(line));
            QTest::keyClick(edit, Qt::Key_Return);
        };
        const std::string before = doc->*c.equation;
        MessageRecorder boxes;
        enter(c.initial);
        enter(c.key + std::string("=") + c.noValue);
        EXPECT_EQ(doc->*c.equation, before);
        enter(c.key + std::string("=") + c.valued);
        EXPECT_EQ(boxes.messages, std::vector<std::string>{"value out of range"});
        EXPECT_EQ(doc->*c.equation, c.valued);
        doc->SetModifiedFlag(FALSE);
        doc->OnCloseDocument();
    }
}

// Every context number the program hands to the help window has a page of its own: the
// views', the glossary's, and those of the menu items and buttons that help mode reaches.
TEST(Program, EveryHelpContextHasItsPage)
{
    ASSERT_NE(StartShell(), nullptr);
    for (UINT kind : {IDR_SYS1TYPE, IDR_SYS1NNTYPE, IDR_SYS2TYPE, IDR_SYS3TYPE})
        TemplateOf(kind)->OpenDocumentFile(nullptr); // a model's first document adds its menus
    std::vector<DWORD> contexts = {0x50BB9, 0x18005, 0x18006, 0x18007, 0x18008, 0x18009,
                                   0x1800A, 0x18022, 0x18068, 0x1806B, 0x1806D, 0x1880A};
    std::vector<UINT> commands;
    for (UINT menu :
         {IDR_MAINFRAME, IDR_VXTEXTTYPE, IDR_SYS1TYPE, IDR_SYS1NNTYPE, IDR_SYS2TYPE, IDR_SYS3TYPE})
        CollectCommands(*vx::res::FindMenu(menu), commands);
    for (UINT bar : {IDR_MAINFRAME, IDR_SYS1TYPE})
        for (UINT id : vx::res::FindToolBar(bar)->buttons)
            if (id != 0)
                commands.push_back(id);
    for (UINT id : commands)
        contexts.push_back(HID_BASE_COMMAND + id);
    for (DWORD context : contexts) {
        const vx::res::HelpTopic* page = vx::res::FindHelpTopic(context);
        EXPECT_TRUE(page && !page->html.empty()) << std::hex << context;
    }
    theApp.CloseAllDocuments(FALSE);
}

} // namespace
#endif
