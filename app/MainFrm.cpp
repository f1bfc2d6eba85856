#include "app/MainFrm.h"

#include "app/ConfigDlgs.h"
#include "app/Configuration.h"
#include "app/ShellGlobals.h"
#include "platform/Dc.h"
#include "platform/WinApp.h"
#include "resources/ResourceIds.h"

#include <cstdio>
#include <filesystem>

VX_IMPLEMENT_CLASS(CMDIClientWnd, CWnd)
VX_IMPLEMENT_CLASS(CMainFrame, CMDIFrameWnd)

namespace {
constexpr COLORREF kBackground = RGB(0, 128, 128);
constexpr UINT WM_READ_CONFIGURATION = WM_APP + 0x10;
const UINT kIndicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};
} // namespace

CMDIClientWnd::CMDIClientWnd()
{
    MapMessage(WM_READ_CONFIGURATION, &CMDIClientWnd::OnReadConfiguration);
}

CPoint CMDIClientWnd::PicturePosition(int cx, int cy)
{
    return CPoint(cx / 2 - BACKGROUND_WIDTH / 2, cy / 2 - BACKGROUND_HEIGHT / 2);
}

BOOL CMDIClientWnd::OnEraseBkgnd(CDC* pDC)
{
    CBrush brush(kBackground);
    CBrush* pOld = pDC->SelectObject(&brush);
    CRect rc;
    pDC->GetClipBox(&rc);
    pDC->FillRect(&rc, &brush);
    pDC->SelectObject(pOld);
    if (g_bFirstPaint) {
        g_bFirstPaint = false;
        std::error_code ec;
        const std::filesystem::path cwd = std::filesystem::current_path(ec);
        if (ec)
            std::fprintf(stderr, "_getcwd error: %s\n", ec.message().c_str());
        else
            g_strStartDir = cwd.string();
        // Its message boxes and dialogs come right after this paint, not inside it.
        PostMessage(WM_READ_CONFIGURATION);
    }
    return TRUE;
}

void CMDIClientWnd::Serialize(CArchive& ar)
{
    SerializeConfiguration(ar);
}

LRESULT CMDIClientWnd::OnReadConfiguration(WPARAM, LPARAM)
{
    ReadConfigurationAndLogOn(); // the process ends here when the start cannot go on
    // The files the desktop handed over open only now: a student's lesson needs the student's
    // folder, and a file's message would come up under the log-on.
    AfxGetApp()->EnableShellOpen();
    return 0;
}

void CMDIClientWnd::OnPaint()
{
    CPaintDC dc(this);
    CDC mem;
    mem.CreateCompatibleDC(&dc);
    CBitmap bitmap;
    if (!bitmap.LoadBitmap(IDB_BACKGROUND))
        return;
    CBitmap* pOld = mem.SelectObject(&bitmap);
    CRect rc;
    GetClientRect(&rc);
    const CPoint at = PicturePosition(rc.Width(), rc.Height());
    dc.BitBlt(at.x, at.y, BACKGROUND_WIDTH, BACKGROUND_HEIGHT, &mem, 0, 0, SRCCOPY);
    mem.SelectObject(pOld);
}

void CMDIClientWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    RedrawWindow();
}

CMainFrame::CMainFrame()
{
    g_bFirstPaint = true;
    MapCommand(ID_HELP_FINDER, &CMainFrame::OnHelpFinder);
    MapCommand(ID_DEFAULT_HELP, &CMainFrame::OnHelpFinder);
    MapCommand(ID_HELP, &CMainFrame::OnHelp);
    MapCommand(ID_CONTEXT_HELP, &CMainFrame::OnContextHelp);
    MapCommand(ID_CONFIGURATION, &CMainFrame::OnConfiguration);
    MapCommand(ID_WINDOW_TILE_VERT, &CMainFrame::OnWindowTileVert);
}

void CMainFrame::OnWindowTileVert()
{
    TileChildren(true);
}

void CMainFrame::Serialize(CArchive& ar)
{
    SerializeConfiguration(ar);
}

void CMainFrame::OnConfiguration()
{
    CConfig dlg;
    dlg.m_nLevel = static_cast<int>(g_nAccessLevel);
    dlg.m_strPassword = g_strTeacherPassword;
    if (dlg.DoModal() != IDOK)
        return;
    g_nAccessLevel = static_cast<std::uint32_t>(dlg.m_nLevel);
    g_strTeacherPassword = dlg.m_strPassword;
    std::error_code ec;
    const std::filesystem::path cwd = std::filesystem::current_path(ec);
    if (ec)
        std::fprintf(stderr, "_getcwd error: %s\n", ec.message().c_str());
    g_strUserDir = MakeUserFolder(cwd.string(), dlg.m_strName);
    std::string strError;
    if (!WriteConfigurationFile(kConfigFileName, strError))
        AfxMessageBox(std::string("Unable to write file ") + kConfigFileName + ".\n" + strError,
                      MB_OK | MB_ICONEXCLAMATION);
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!CMDIFrameWnd::PreCreateWindow(cs))
        return FALSE;
    cs.style = WS_OVERLAPPEDWINDOW | WS_MAXIMIZE;
    return TRUE;
}

int CMainFrame::OnCreate(CREATESTRUCT* pCs)
{
    if (CMDIFrameWnd::OnCreate(pCs) == -1)
        return -1;
    if (!m_wndToolBar.CreateEx(this) || !m_wndToolBar.LoadToolBar(IDR_MAINFRAME))
        return -1;
    if (!m_wndStatusBar.Create(this) ||
        !m_wndStatusBar.SetIndicators(kIndicators, int(std::size(kIndicators))))
        return -1;
    return m_wndMDIClient.SubclassWindow(m_hWndMDIClient) ? 0 : -1;
}
