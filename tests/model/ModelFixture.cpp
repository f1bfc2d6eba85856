#include "ModelFixture.h"

#include "model/core/Globals.h"
#include "platform/Resources.h"
#include "views/graph/GraphView.h"

#include <QCoreApplication>
#include <QWidget>

#include <chrono>

VX_IMPLEMENT_CLASS(CHookView, CModelPlainView)
VX_IMPLEMENT_CLASS(CDeafView, CView)
VX_IMPLEMENT_CLASS(CModelTestMain, CMDIFrameWnd)

namespace {
constexpr UINT kMainMenu = 901;
constexpr UINT kDeafTemplate = 902;

const CRuntimeClass* DocClass(SystemKind kind)
{
    return CRuntimeClass::FromName(DocKindInfo(kind).className);
}
} // namespace

void CHookView::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint)
{
    m_hints.push_back(lHint);
    CModelPlainView::OnUpdate(pSender, lHint, pHint);
    if (auto* row = dynamic_cast<CRowHint*>(pHint); row && s_onRow)
        s_onRow(this, row->m_nRow);
}

CWinApp& ModelTestApp()
{
    static CWinApp app("VeltrixModelTest");
    static bool ready = [] {
        using vx::res::MenuItem;
        vx::res::RegisterMenu(kMainMenu, {{"&File", 0, {{"&Open", ID_FILE_OPEN, {}}}}});
        for (int k = 0; k < kSystemKinds; ++k) {
            const ModelKindInfo& info = DocKindInfo(static_cast<SystemKind>(k));
            vx::res::RegisterString(info.nIDResource,
                                    std::string("\n") + info.newName + "\nModel\nModel Files (*" +
                                        info.filterExt + ")\n" + info.filterExt + "\nModel\nModel");
            vx::res::RegisterMenu(info.nIDResource,
                                  {{"&File", 0, {{"&Open", ID_FILE_OPEN, {}}}},
                                   {"&View", 0, {{"&Toolbar", ID_VIEW_TOOLBAR, {}}}},
                                   {"&Window", 0, {{"&Cascade", ID_WINDOW_CASCADE, {}}}}});
            app.AddDocTemplate(new CMultiDocTemplate(info.nIDResource, DocClass(info.kind),
                                                     VX_RUNTIME_CLASS(CMDIChildWnd),
                                                     VX_RUNTIME_CLASS(CHookView)));
        }
        vx::res::RegisterString(kDeafTemplate, "\nDeaf\nDeaf\nDeaf (*.dx1)\n.dx1\nDeaf\nDeaf");
        app.AddDocTemplate(new CMultiDocTemplate(kDeafTemplate, DocClass(SystemKind::OneVariable),
                                                 VX_RUNTIME_CLASS(CMDIChildWnd),
                                                 VX_RUNTIME_CLASS(CDeafView)));
        auto* frame = new CModelTestMain;
        frame->LoadFrame(kMainMenu, WS_OVERLAPPEDWINDOW);
        app.m_pMainWnd = frame;
        frame->GetWidget()->resize(1000, 700);
        frame->ShowWindow(SW_SHOW);
        return true;
    }();
    (void)ready;
    return app;
}

CMDIFrameWnd* ModelMainFrame()
{
    return static_cast<CMDIFrameWnd*>(ModelTestApp().m_pMainWnd);
}

CDocTemplate* ModelTemplate(SystemKind kind)
{
    for (CDocTemplate* t : ModelTestApp().GetDocTemplates())
        if (t->GetResourceID() == DocKindInfo(kind).nIDResource)
            return t;
    return nullptr;
}

CDocTemplate* DeafTemplate()
{
    for (CDocTemplate* t : ModelTestApp().GetDocTemplates())
        if (t->GetResourceID() == kDeafTemplate)
            return t;
    return nullptr;
}

bool PumpUntil(const std::function<bool()>& pred)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        vx::DeliverPostedMessages();
    }
    return true;
}

void ModelTest::SetUp()
{
    ModelTestApp();
    m_oldHook = SetMessageBoxHook([this](const std::string& text, unsigned) {
        m_messages.push_back(text);
        return IDOK;
    });
    CHookView::s_onRow = nullptr;
}

void ModelTest::TearDown()
{
    CHookView::s_onRow = nullptr;
    ModelTestApp().CloseAllDocuments(TRUE);
    SetMessageBoxHook(m_oldHook);
    EXPECT_EQ(g_nDocsAll, 0);
}

CDynSys* ModelTest::NewDoc(SystemKind kind)
{
    auto* doc = dynamic_cast<CDynSys*>(ModelTemplate(kind)->OpenDocumentFile(nullptr));
    EXPECT_NE(doc, nullptr);
    return doc;
}

CHookView* ModelTest::FirstView(CDynSys* pDoc)
{
    const auto views = pDoc->GetViews();
    return views.empty() ? nullptr : dynamic_cast<CHookView*>(views.front());
}

void ModelTest::RunToEnd(CDynSys* pDoc)
{
    pDoc->OnControlsRun();
    ASSERT_TRUE(PumpUntil([&] { return !Running(pDoc); }));
}

std::vector<double> Column(const CDynSys* pDoc, int slot)
{
    const auto& col = pDoc->m_arrTable[slot];
    const int n = pDoc->m_bTableWrapped ? pDoc->m_nTableRows : pDoc->m_nTableCount;
    std::vector<double> out;
    for (int i = 0, r = pDoc->m_nTableIndex; i < n; ++i, r = (r + 1) % pDoc->m_nTableRows)
        out.push_back(col[r]);
    return out;
}
