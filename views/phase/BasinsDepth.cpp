#include "views/phase/BasinsDepth.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

bool ParseDepth(const std::string& text, int& depth)
{
    const double v = std::atof(text.c_str());
    if (!(std::fmod(v, 1.0) == 0 && v >= 0 && v <= CDepthStrip::kMaxDepth))
        return false;
    depth = static_cast<int>(v);
    return true;
}

bool ParseBuddyDepth(const std::string& text, int& depth)
{
    int v = 0;
    const char* end = text.data() + text.size();
    const auto [p, ec] = std::from_chars(text.data(), end, v);
    if (ec != std::errc() || p != end || v < 0 || v > CDepthStrip::kMaxDepth)
        return false;
    depth = v;
    return true;
}

void CDepthStrip::Create(CWnd* pParent, int depth)
{
    m_buddy.Create(0, CRect(0, 0, 57, 20), pParent, kBuddy);
    // The strip is as high as an edit needs for its font.
    m_nHeight = m_buddy.GetTextExtent("8").cy + 6;
    const int h = m_nHeight;
    m_spin.Create(WS_VISIBLE | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                  CRect(0, 0, 21, h), pParent, kSpin);
    m_edit.Create(WS_VISIBLE | WS_BORDER | ES_MULTILINE | ES_WANTRETURN, CRect(21, 0, 57, h),
                  pParent, kEdit);
    m_edit.MoveWindow(CRect(21, 0, 21 + m_edit.GetTextExtent("88888").cx + 8, h));
    m_spin.SetBuddy(&m_buddy);
    m_spin.SetRange(0, kMaxDepth);
    Show(depth);
}

void CDepthStrip::Show(int depth)
{
    const std::string text = std::to_string(depth);
    m_edit.SetWindowText(text);
    m_buddy.SetWindowText(text);
    m_spin.GetPos();
}

void CDepthStrip::SelectText()
{
    m_edit.SetFocus();
    m_edit.SetSel(0, -1);
}
