// Command routing (active view, document, child frame, main frame, application) and the
// update handlers that grey and check items.
#include "Fixtures.h"

#include <QAction>
#include <QCoreApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <gtest/gtest.h>

namespace {

class CommandRouting : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TestApp();
        Trace().clear();
    }
    void TearDown() override { CloseAllTestDocuments(); }
    std::string RunOn(CCmdTarget* target, UINT id)
    {
        Trace().clear();
        const bool handled = target->ExecuteCommand(id);
        return handled ? (Trace().empty() ? "?" : Trace().front()) : "none";
    }
};

// Without documents the main frame, then the application; with one the active view first, then
// the document, the frames and the application.
TEST_F(CommandRouting, HandlersInTurn)
{
    const struct
    {
        bool withDocument;
        UINT id;
        const char* handler;
    } cases[] = {
        {false, ID_T_ALL, "main"},  {false, ID_T_MAIN, "main"}, {false, ID_T_DOC, "app"},
        {false, ID_T_NONE, "none"}, {true, ID_T_ALL, "view"},   {true, ID_T_DOC, "doc"},
        {true, ID_T_MAIN, "main"},  {true, ID_T_APP, "app"},    {true, ID_T_NONE, "none"},
    };
    for (const auto& c : cases) {
        if (c.withDocument && !TestMainFrame()->MDIGetActive()) {
            ASSERT_NE(TestTemplate()->OpenDocumentFile(nullptr), nullptr);
        }
        EXPECT_EQ(RunOn(TestMainFrame(), c.id), c.handler) << c.id << " " << c.withDocument;
    }
}

TEST_F(CommandRouting, ChildFrameBeforeMainFrame)
{
    CDocument* doc = TestTemplate()->OpenDocumentFile(nullptr);
    ASSERT_NE(doc, nullptr);
    CTestMain* main = TestMainFrame();
    CMDIChildWnd* child = main->MDIGetActive();
    ASSERT_NE(child, nullptr);
    // Without an active view the frame's own handler comes before the main frame's.
    CView* view = child->GetActiveView();
    child->SetActiveView(nullptr, FALSE);
    EXPECT_EQ(RunOn(main, ID_T_ALL), "child");
    child->SetActiveView(view, FALSE);
    EXPECT_EQ(RunOn(main, ID_T_ALL), "view");
}

TEST_F(CommandRouting, UpdateHandlersGreyAndCheck)
{
    CTestMain* main = TestMainFrame();
    struct Case
    {
        UINT id;
        bool withDocument;
        bool enabled;
        int check;
    };
    const Case cases[] = {
        {ID_T_NONE, false, false, -1}, // no handler anywhere: greyed
        {ID_T_APP, false, true, -1},   // a handler, no update handler: enabled
        {ID_T_DOC, false, true, -1},   // the application's handler is enough
        {ID_T_UPD, true, false, 1},    // the document's update handler wins over the view's handler
    };
    for (const Case& c : cases) {
        if (c.withDocument) {
            ASSERT_NE(TestTemplate()->OpenDocumentFile(nullptr), nullptr);
        }
        CCmdUI ui(c.id);
        main->UpdateCommand(&ui);
        EXPECT_EQ(ui.m_bEnabled, c.enabled) << c.id;
        EXPECT_EQ(ui.m_nCheck, c.check) << c.id;
        CloseAllTestDocuments();
    }
}

// The menu's own action, by command id.
QAction* MenuAction(CMDIFrameWnd* frame, UINT id)
{
    auto* main = static_cast<QMainWindow*>(frame->GetWidget());
    for (QAction* a : main->menuBar()->actions())
        if (a->data().toUInt() == id)
            return a;
    return nullptr;
}

TEST_F(CommandRouting, MenuCommandsRunAfterQtsMenuHandlingAndOnlyWhenEnabled)
{
    CTestMain* main = TestMainFrame();
    QAction* test = MenuAction(main, ID_T_APP);
    QAction* none = MenuAction(main, ID_T_NONE);
    ASSERT_NE(test, nullptr);
    ASSERT_NE(none, nullptr);
    test->trigger();
    none->trigger();              // no handler: greyed, never queued
    EXPECT_TRUE(Trace().empty()); // a command may close the window that holds the menu
    QCoreApplication::processEvents();
    EXPECT_EQ(Trace(), (std::vector<std::string>{"app"}));
    main->OnIdleUpdateCmdUI();
    EXPECT_TRUE(test->isEnabled());
    EXPECT_FALSE(none->isEnabled());
}

// A derived class's mapping overrides its base's; a range handler gets the id it ran for.
TEST_F(CommandRouting, LaterMappingOverridesBaseAndRangesGetTheId)
{
    struct Base : CCmdTarget
    {
        Base() { MapCommand(1, &Base::A); }
        void A() { Trace().push_back("base"); }
    };
    struct Derived : Base
    {
        Derived()
        {
            MapCommand(1, &Derived::B);
            MapCommandRange(10, 13, &Derived::On);
        }
        void B() { Trace().push_back("derived"); }
        void On(UINT id) { Trace().push_back(std::to_string(id)); }
    };
    Derived d;
    EXPECT_EQ(RunOn(&d, 1), "derived");
    EXPECT_EQ(RunOn(&d, 12), "12");
    EXPECT_EQ(RunOn(&d, 14), "none");
}

} // namespace
