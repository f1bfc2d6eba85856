#include "ModelFixture.h"

#include "model/core/Globals.h"
#include "platform/base/Archive.h"

VX_IMPLEMENT_CLASS(CHookView, CModelPlainView)
VX_IMPLEMENT_CLASS(CDeafView, CView)
VX_IMPLEMENT_CLASS(CModelTestMain, CMDIFrameWnd)

namespace {
constexpr UINT kMainMenu = 901;
constexpr UINT kDeafTemplate = 902;
} // namespace

void CHookView::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint)
{
    m_hints.push_back(lHint);
    CModelPlainView::OnUpdate(pSender, lHint, pHint);
    if (const CRowHint* row = CRowHint::Of(pHint); row && s_onRow)
        s_onRow(this, row->m_nRow);
}

CWinApp& ModelTestApp()
{
    static CWinApp app("VeltrixModelTest");
    static bool ready = [] {
        IgnoreFileSizeSignal(); // as the program's start does
        for (int k = 0; k < kSystemKinds; ++k)
            testapp::AddModelTemplate(app, static_cast<SystemKind>(k), VX_RUNTIME_CLASS(CHookView));
        testapp::AddModelTemplate(app, SystemKind::OneVariable, VX_RUNTIME_CLASS(CDeafView),
                                  kDeafTemplate);
        testapp::ShowMainFrame(app, new CModelTestMain, kMainMenu, 1000, 700);
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
    return testapp::FindTemplate(ModelTestApp(), DocKindInfo(kind).nIDResource);
}

CDocTemplate* DeafTemplate()
{
    return testapp::FindTemplate(ModelTestApp(), kDeafTemplate);
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
