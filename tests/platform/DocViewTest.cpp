// Documents, views and templates: hints, auto-delete, opening, the run-time classes.
#include "Fixtures.h"

#include "common/MessageRecorder.h"

#include <QCoreApplication>
#include <QImage>
#include <QMdiArea>
#include <gtest/gtest.h>

namespace {

class DocView : public ::testing::Test
{
protected:
    void SetUp() override { TestApp(); }
    void TearDown() override
    {
        CloseAllTestDocuments();
        EXPECT_TRUE(TestMainFrame()->GetMdiArea()->subWindowList().isEmpty());
    }
    CTestView* FirstView(CDocument* doc)
    {
        return static_cast<CTestView*>(doc->GetViews().front());
    }
};

TEST_F(DocView, RuntimeClassesCreateAndTestByClass)
{
    const CRuntimeClass* rc = CRuntimeClass::FromName("COtherView");
    ASSERT_EQ(rc, VX_RUNTIME_CLASS(COtherView));
    std::unique_ptr<CObject> obj(rc->CreateObject());
    ASSERT_NE(obj, nullptr);
    EXPECT_TRUE(obj->IsKindOf(VX_RUNTIME_CLASS(CTestView)));
    EXPECT_TRUE(obj->IsKindOf(VX_RUNTIME_CLASS(CView)));
    EXPECT_FALSE(obj->IsKindOf(VX_RUNTIME_CLASS(CDocument)));
    EXPECT_EQ(VX_RUNTIME_CLASS(CView)->CreateObject(), nullptr); // abstract
    EXPECT_EQ(CRuntimeClass::FromName("CNoSuchClass"), nullptr);
}

TEST_F(DocView, NewDocumentGetsFrameViewTitleAndInitialUpdate)
{
    CDocument* doc = TestTemplate()->OpenDocumentFile(nullptr);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetDocTemplate(), TestTemplate());
    ASSERT_EQ(doc->GetViews().size(), 1u);
    CTestView* view = FirstView(doc);
    EXPECT_EQ(view->GetDocument(), doc);
    EXPECT_EQ(view->m_hints, (std::vector<LPARAM>{0})); // the initial update
    CFrameWnd* frame = view->GetParentFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->GetActiveView(), view);
    EXPECT_EQ(doc->GetTitle().rfind("Test", 0), 0u);
    EXPECT_EQ(frame->GetWindowText(), doc->GetTitle()); // the template's frames add the title
    CRect rc;
    view->GetClientRect(&rc);
    CRect frc;
    frame->GetClientRect(&frc);
    EXPECT_EQ(rc.Size(), frc.Size()); // the view fills its frame
}

TEST_F(DocView, UpdateAllViewsSkipsTheSenderAndPassesHints)
{
    CDocument* doc = TestTemplate()->OpenDocumentFile(nullptr);
    ASSERT_NE(doc, nullptr);
    CFrameWnd* second = TestTemplate()->CreateNewFrame(doc, nullptr);
    ASSERT_NE(second, nullptr);
    TestTemplate()->InitialUpdateFrame(second, doc);
    ASSERT_EQ(doc->GetViews().size(), 2u);
    auto* a = static_cast<CTestView*>(doc->GetViews()[0]);
    auto* b = static_cast<CTestView*>(doc->GetViews()[1]);
    a->m_hints.clear();
    b->m_hints.clear();
    doc->UpdateAllViews(a, 31);
    doc->UpdateAllViews(nullptr, -1);
    EXPECT_EQ(a->m_hints, (std::vector<LPARAM>{-1}));
    EXPECT_EQ(b->m_hints, (std::vector<LPARAM>{31, -1}));
}

// A view whose update closes another view's frame: the walk passes the closed view by and
// still reaches the rest.
TEST_F(DocView, UpdateAllViewsSurvivesAFrameClosedDuringTheWalk)
{
    CDocument* doc = TestTemplate()->OpenDocumentFile(nullptr);
    ASSERT_NE(doc, nullptr);
    for (int i = 0; i < 2; ++i) {
        CFrameWnd* frame = TestTemplate()->CreateNewFrame(doc, nullptr);
        ASSERT_NE(frame, nullptr);
        TestTemplate()->InitialUpdateFrame(frame, doc);
    }
    ASSERT_EQ(doc->GetViews().size(), 3u);
    auto* a = static_cast<CTestView*>(doc->GetViews()[0]);
    CView* b = doc->GetViews()[1];
    auto* c = static_cast<CTestView*>(doc->GetViews()[2]);
    c->m_hints.clear();
    a->m_onUpdate = [b] { b->GetParentFrame()->DestroyWindow(); };
    doc->UpdateAllViews(nullptr, 7);
    a->m_onUpdate = nullptr;
    EXPECT_EQ(c->m_hints, (std::vector<LPARAM>{7}));
    EXPECT_EQ(doc->GetViews(), (std::vector<CView*>{a, c}));
}

TEST_F(DocView, LastViewClosesTheDocumentUnlessAutoDeleteIsOff)
{
    CTestDoc::s_destroyed = 0;
    CDocument* doc = TestTemplate()->OpenDocumentFile(nullptr);
    ASSERT_NE(doc, nullptr);
    doc->m_bAutoDelete = FALSE;
    FirstView(doc)->GetParentFrame()->DestroyWindow();
    EXPECT_EQ(CTestDoc::s_destroyed, 0);
    EXPECT_TRUE(doc->GetViews().empty());
    doc->m_bAutoDelete = TRUE;
    doc->OnCloseDocument();
    EXPECT_EQ(CTestDoc::s_destroyed, 1);

    CDocument* doc2 = TestTemplate()->OpenDocumentFile(nullptr);
    ASSERT_NE(doc2, nullptr);
    FirstView(doc2)->GetParentFrame()->DestroyWindow();
    EXPECT_EQ(CTestDoc::s_destroyed, 2);
    EXPECT_TRUE(TestTemplate()->GetDocuments().empty());
}

TEST_F(DocView, FailedOpenLeavesNothingBehind)
{
    MessageRecorder recorder;
    std::vector<std::string>& messages = recorder.messages;
    for (const bool throws : {false, true}) {
        SCOPED_TRACE(throws ? "open throws" : "open fails");
        CTestDoc::s_destroyed = 0;
        CTestDoc::m_bOpenSucceeds = false;
        CTestDoc::s_bOpenThrows = throws;
        messages.clear();
        const size_t frames = TestMainFrame()->GetChildFrames().size();
        CDocument* doc = nullptr;
        EXPECT_NO_THROW(doc = TestTemplate()->OpenDocumentFile("/tmp/x.tst"));
        CTestDoc::m_bOpenSucceeds = true;
        CTestDoc::s_bOpenThrows = false;
        EXPECT_EQ(doc, nullptr);
        EXPECT_EQ(CTestDoc::s_destroyed, 1);
        EXPECT_TRUE(TestTemplate()->GetDocuments().empty());
        EXPECT_EQ(TestMainFrame()->GetChildFrames().size(), frames);
        // A document that fails reports why itself; one that throws gets the frame's message.
        EXPECT_EQ(messages.size(), throws ? 1u : 0u);
    }
}

TEST_F(DocView, OpenTwiceActivatesTheOpenDocument)
{
    CDocument* doc = TestApp().OpenDocumentFile("/tmp/same.tst");
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetPathName(), "/tmp/same.tst");
    EXPECT_EQ(doc->GetTitle(), "same.tst");
    EXPECT_EQ(TestApp().OpenDocumentFile("/tmp/../tmp/same.tst"), doc);
    EXPECT_EQ(TestTemplate()->GetDocuments().size(), 1u);
    ASSERT_FALSE(TestApp().GetRecentFiles().empty());
    EXPECT_EQ(TestApp().GetRecentFiles().front(), "/tmp/same.tst");
}

TEST_F(DocView, InvalidateAndUpdateWindowDrawIntoTheBackingImage)
{
    CDocument* doc = TestTemplate()->OpenDocumentFile(nullptr);
    ASSERT_NE(doc, nullptr);
    CTestView* view = FirstView(doc);
    QCoreApplication::processEvents();
    CRect rc;
    view->GetClientRect(&rc);
    EXPECT_GT(rc.Width(), 100);
    view->UpdateWindow();
    const int draws = view->m_nDraws;
    EXPECT_GE(draws, 1);
    view->UpdateWindow(); // nothing invalid: no drawing
    EXPECT_EQ(view->m_nDraws, draws);
    view->Invalidate();
    view->UpdateWindow();
    EXPECT_EQ(view->m_nDraws, draws + 1);
    const QImage& img = view->GetBackingImage();
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.pixelColor(1, 1), QColor(10, 20, 30));
}

} // namespace

#include <QFileInfo>
#include <QPageLayout>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

TEST_F(DocView, FormViewShowsItsControlsOnTheDialogColour)
{
    CFormView form(422);
    ASSERT_TRUE(form.Create(nullptr, "form", 0, CRect(0, 0, 200, 100), nullptr, 0));
    auto* button = new QPushButton("Print", form.GetWidget());
    button->setGeometry(10, 10, 60, 24);
    form.UpdateWindow();
    EXPECT_EQ(form.GetBackingImage().pixel(150, 80) & 0xFFFFFF, GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(button->parentWidget(), form.GetWidget());
    EXPECT_EQ(form.GetTemplateID(), 422u);
}

TEST_F(DocView, DroppedFilesOpen)
{
    // Qt delivers a drop only during a real drag; the frame's drop handler is called directly.
    vx_MdiAccess::DropFiles(TestMainFrame(), {"/tmp/dropped.tst"});
    ASSERT_EQ(TestTemplate()->GetDocuments().size(), 1u);
    EXPECT_EQ(TestTemplate()->GetDocuments().front()->GetPathName(), "/tmp/dropped.tst");
}

// Counts the printing calls and remembers what the printer DC reported.
class CPrintedView : public CTestView
{
public:
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override
    {
        pInfo->SetMaxPage(2);
        return DoPreparePrinting(pInfo);
    }
    void OnPrint(CDC* pDC, CPrintInfo* pInfo) override
    {
        m_pages.push_back(pInfo->m_nCurPage);
        m_nHorzRes = pDC->GetDeviceCaps(HORZRES);
        m_bPrinting = pDC->IsPrinting();
        CTestView::OnPrint(pDC, pInfo);
    }
    std::vector<UINT> m_pages;
    int m_nHorzRes = 0;
    bool m_bPrinting = false;
};

TEST_F(DocView, DirectPrintRunsEveryPageOnThePrinter)
{
    QTemporaryDir dir;
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = dir.path() + "/out.pdf";
    printer->setOutputFileName(pdf);
    const int pageWidth = printer->pageLayout().paintRectPixels(printer->resolution()).width();
    TestApp().SetPrinter(std::move(printer));

    CPrintedView view;
    ASSERT_TRUE(view.Create(nullptr, "print", 0, CRect(0, 0, 200, 150), nullptr, 0));
    EXPECT_TRUE(view.ExecuteCommand(ID_FILE_PRINT_DIRECT));
    EXPECT_EQ(view.m_pages, (std::vector<UINT>{1, 2}));
    EXPECT_EQ(view.m_nHorzRes, pageWidth);
    EXPECT_TRUE(view.m_bPrinting);
    EXPECT_EQ(view.m_nDraws, 2);
    EXPECT_TRUE(QFileInfo(pdf).size() > 0);
    TestApp().SetPrinter(nullptr);
}

} // namespace
