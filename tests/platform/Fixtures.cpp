#include "Fixtures.h"

#include "platform/Dc.h"

#include <QMainWindow>

VX_IMPLEMENT_CLASS(CTestDoc, CDocument)
VX_IMPLEMENT_CLASS(CTestView, CView)
VX_IMPLEMENT_CLASS(COtherView, CTestView)
VX_IMPLEMENT_CLASS(CTestChild, CMDIChildWnd)
VX_IMPLEMENT_CLASS(CTestMain, CMDIFrameWnd)

CTestDoc::CTestDoc()
{
    MapCommand(ID_T_ALL, &CTestDoc::OnCmdDoc);
    MapCommand(ID_T_DOC, &CTestDoc::OnCmdDoc);
    MapUpdate(ID_T_UPD, &CTestDoc::OnUpdateCheckedOff);
}

void CTestDoc::OnUpdateCheckedOff(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(FALSE);
    pCmdUI->SetCheck(1);
}

CTestView::CTestView()
{
    MapCommand(ID_T_ALL, &CTestView::OnCmdView);
    MapCommand(ID_T_UPD, &CTestView::OnCmdView);
}

void CTestView::OnDraw(CDC* pDC)
{
    ++m_nDraws;
    CRect rc;
    GetClientRect(&rc);
    pDC->FillSolidRect(&rc, RGB(10, 20, 30));
}

void CTestView::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint)
{
    m_hints.push_back(lHint);
    if (m_onUpdate)
        m_onUpdate();
    CView::OnUpdate(pSender, lHint, pHint);
}

CTestChild::CTestChild()
{
    MapCommand(ID_T_ALL, &CTestChild::OnCmdFrame);
    MapCommand(ID_T_DOC, &CTestChild::OnCmdFrame);
}

CTestMain::CTestMain()
{
    MapCommand(ID_T_ALL, &CTestMain::OnCmdMain);
    MapCommand(ID_T_MAIN, &CTestMain::OnCmdMain);
}

CTestApp::CTestApp() : CWinApp("VeltrixTest")
{
    MapCommand(ID_T_ALL, &CTestApp::OnCmdApp);
    MapCommand(ID_T_DOC, &CTestApp::OnCmdApp);
    MapCommand(ID_T_MAIN, &CTestApp::OnCmdApp);
    MapCommand(ID_T_APP, &CTestApp::OnCmdApp);
}

CTestApp& TestApp()
{
    static CTestApp app;
    static bool ready = [] {
        vx::res::RegisterString(900,
                                "\nTest\nTest Document\nTest Files (*.tst)\n.tst\nTest.Doc\nTest");
        vx::res::RegisterMenu(900, {{"&File", 0, {{"&Open", ID_FILE_OPEN, {}}}},
                                    {"&Test", ID_T_APP, {}},
                                    {"&None", ID_T_NONE, {}}});
        app.LoadStdProfileSettings(4); // no registry key: nothing is read or written
        app.AddDocTemplate(new CMultiDocTemplate(900, VX_RUNTIME_CLASS(CTestDoc),
                                                 VX_RUNTIME_CLASS(CTestChild),
                                                 VX_RUNTIME_CLASS(CTestView)));
        auto* frame = new CTestMain;
        frame->LoadFrame(900, WS_OVERLAPPEDWINDOW);
        app.m_pMainWnd = frame;
        frame->GetWidget()->resize(800, 600);
        frame->ShowWindow(SW_SHOW);
        return true;
    }();
    (void)ready;
    return app;
}

CTestMain* TestMainFrame()
{
    return static_cast<CTestMain*>(TestApp().m_pMainWnd);
}

CDocTemplate* TestTemplate()
{
    return TestApp().GetDocTemplates().front();
}

void CloseAllTestDocuments()
{
    TestTemplate()->CloseAllDocuments(FALSE);
}
