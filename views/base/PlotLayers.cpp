#include "views/base/PlotLayers.h"

#include "platform/Wnd.h"
#include "platform/base/NoMemory.h"

#include <QImage>
#include <QMetaObject>
#include <QObject>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <utility>

PlotFrameKey PlotFrameKey::Of(const C2DPlotGeometry& g)
{
    return {g.m_rcPlot, g.m_dXMin, g.m_dXMax, g.m_dYMin, g.m_dYMax};
}

// The image background ------------------------------------------------------------------------

CPlotImageLayer::CPlotImageLayer() : CPlotLayer(State::Valid), m_pImage(std::make_unique<QImage>())
{
}

CPlotImageLayer::~CPlotImageLayer() = default;

void CPlotImageLayer::Reset(const CRect& area, double ratio)
{
    m_area = area;
    m_ratio = ratio > 0 ? ratio : 1.0;
    // Whole device pixels per logical pixel, so that a pixel of the picture is a square block.
    m_nScale = std::max(1, static_cast<int>(std::ceil(m_ratio - 1e-9)));
    const int w = std::max(0, area.Width()) * m_nScale, h = std::max(0, area.Height()) * m_nScale;
    *m_pImage = QImage(w, h, QImage::Format_ARGB32_Premultiplied);
    m_pImage->fill(Qt::transparent);
    m_pImage->setDevicePixelRatio(m_nScale);
}

bool CPlotImageLayer::Empty() const
{
    return m_pImage->isNull();
}

void CPlotImageLayer::SetPixels(int py, int px0, int step, int count, const COLORREF* colors)
{
    const int y = py - m_area.top;
    if (m_pImage->isNull() || y < 0 || y >= m_area.Height())
        return;
    const int s = m_nScale;
    for (int k = 0; k < count; ++k) {
        const int x = px0 + k * step - m_area.left;
        if (x < 0 || x >= m_area.Width())
            continue;
        const COLORREF c = colors[k];
        const QRgb rgb = qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
        for (int dy = 0; dy < s; ++dy) {
            auto* line = reinterpret_cast<QRgb*>(m_pImage->scanLine(y * s + dy));
            std::fill(line + x * s, line + x * s + s, rgb);
        }
    }
}

CRect CPlotImageLayer::ShownIn(const CRect& plot) const
{
    return {std::max(m_area.left, plot.left), std::max(m_area.top, plot.top),
            std::min(m_area.right, plot.right), std::min(m_area.bottom, plot.bottom)};
}

// The pixels stay where they were computed; those outside the plot as it is now (after a
// resize) are left out, so that the picture never covers the margins.
void CPlotImageLayer::Draw(CDC* pDC, const C2DPlotGeometry& g)
{
    const CRect shown = ShownIn(g.m_rcPlotHit);
    if (m_pImage->isNull() || shown.IsRectEmpty())
        return;
    const int s = m_nScale;
    const QRect source((shown.left - m_area.left) * s, (shown.top - m_area.top) * s,
                       shown.Width() * s, shown.Height() * s);
    if (QPainter* p = pDC->GetPainter())
        p->drawImage(QPoint(shown.left, shown.top), *m_pImage, source);
}

// The layers ---------------------------------------------------------------------------------

// Queued calculations go to this object on the user-interface thread and are dropped with it.
class CPlotLayers::Receiver : public QObject
{
};

CPlotLayers::CPlotLayers(CWnd* pOwner, const C2DPlotGeometry& geometry)
    : m_pOwner(pOwner), m_geometry(geometry), m_pReceiver(std::make_unique<Receiver>())
{
}

CPlotLayers::~CPlotLayers() = default;

void CPlotLayers::MarkStale(CPlotLayer& layer)
{
    layer.m_state = CPlotLayer::State::Stale;
    Queue();
}

void CPlotLayers::MarkAllStale()
{
    for (auto& layer : m_layers)
        layer->m_state = CPlotLayer::State::Stale;
    Queue();
}

bool CPlotLayers::NeedsCompute(const CPlotLayer& layer, const PlotFrameKey& key) const
{
    if (!layer.Shown())
        return false;
    switch (layer.m_state) {
    case CPlotLayer::State::Stale:
        return true;
    case CPlotLayer::State::Valid:
    case CPlotLayer::State::Declined:
        return layer.FollowsWindow() && !(layer.m_key == key);
    }
    return false;
}

void CPlotLayers::Draw(CDC* pDC)
{
    const PlotFrameKey key = PlotFrameKey::Of(m_geometry);
    bool bQueue = false;
    for (auto& layer : m_layers) {
        if (!layer->Shown())
            continue;
        if (!pDC->IsPrinting() && NeedsCompute(*layer, key)) {
            bQueue = true;
            continue;
        }
        if (layer->m_state == CPlotLayer::State::Valid)
            layer->Draw(pDC, m_geometry);
    }
    if (bQueue)
        Queue();
}

void CPlotLayers::Queue()
{
    if (m_bQueued)
        return;
    m_bQueued = true;
    QMetaObject::invokeMethod(
        m_pReceiver.get(), [this] { ComputeStale(); }, Qt::QueuedConnection);
}

void CPlotLayers::ComputeStale()
{
    m_bQueued = false;
    // A calculation may run a modal loop (its progress window, a question) that paints: that
    // paint queues again rather than computing inside this one.
    if (m_bComputing) {
        m_bAgain = true;
        return;
    }
    m_bComputing = true;
    const PlotFrameKey key = PlotFrameKey::Of(m_geometry);
    bool bAny = false;
    for (auto& layer : m_layers) {
        if (!NeedsCompute(*layer, key))
            continue;
        // A layer as large as the plot that runs out of memory is left out, and said so.
        bool ok = false;
        TellIfNoMemory([&] { ok = layer->Compute(m_geometry); });
        layer->m_state = ok ? CPlotLayer::State::Valid : CPlotLayer::State::Declined;
        layer->m_key = key;
        bAny = true;
    }
    m_bComputing = false;
    if (std::exchange(m_bAgain, false))
        Queue();
    if (bAny && m_pOwner && m_pOwner->GetSafeHwnd())
        m_pOwner->Invalidate();
}
