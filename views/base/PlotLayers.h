#pragma once
// The layers of a 2-D plot: pictures computed from the model and the view's window outside
// painting (direction field, nullclines, fixed points ...) and an image background (the basins),
// drawn in the order they were added, after the page and before the view's texts and curves.
//
// A paint draws only the layers that are valid for the window it paints; a layer that is
// stale, or was computed for another window (a zoom, a pan, a resize), queues its calculation
// and is left out. The calculation runs soon after on the user-interface thread, outside
// painting, where it may show a progress window or ask the user; then the view is repainted.
// A layer whose calculation was declined stays out until it is marked stale or the window
// changes.
#include "platform/Dc.h"
#include "views/rows/PlotGeometry.h"

#include <memory>
#include <vector>

class CWnd;
class QImage;

// The window a layer was computed for: the plot rectangle and the world limits.
struct PlotFrameKey
{
    CRect plot;
    double xmin = 0, xmax = 0, ymin = 0, ymax = 0;
    static PlotFrameKey Of(const C2DPlotGeometry& g);
    bool operator==(const PlotFrameKey&) const = default;
};

class CPlotLayer
{
public:
    enum class State
    {
        Stale,    // to be computed
        Valid,    // computed for key()
        Declined, // its calculation did not complete; left out until marked stale
    };
    explicit CPlotLayer(State initial = State::Stale) : m_state(initial) {}
    virtual ~CPlotLayer() = default;

    State GetState() const { return m_state; }
    const PlotFrameKey& Key() const { return m_key; }
    // Shown while its calculation is not needed yet; nothing is computed for a hidden layer.
    virtual bool Shown() const { return true; }

protected:
    friend class CPlotLayers;
    // Outside painting, on the user-interface thread; false when the result is not there (the
    // user declined, or stopped it).
    virtual bool Compute(const C2DPlotGeometry& g) = 0;
    virtual void Draw(CDC* pDC, const C2DPlotGeometry& g) = 0;
    // Whether its picture follows the window (an image of pixels computed elsewhere does not).
    virtual bool FollowsWindow() const { return true; }

private:
    State m_state = State::Stale;
    PlotFrameKey m_key;
};

// An image background over the plot rectangle at the screen's pixel ratio: its pixels are set
// in logical pixels from results computed elsewhere and painted in one call, within the plot
// as it is when painted.
class CPlotImageLayer : public CPlotLayer
{
public:
    CPlotImageLayer();
    ~CPlotImageLayer() override;

    // An empty (transparent) image over area, at pixel ratio; clears what was there.
    void Reset(const CRect& area, double ratio);
    void Clear() { Reset(m_area, m_ratio); }
    const CRect& Area() const { return m_area; }
    // The part of the area inside plot: all that is shown of the picture after a resize.
    CRect ShownIn(const CRect& plot) const;
    bool Empty() const;
    // Pixels (px0 + k * step, py), k < count, take colors[k]; those outside the area are left.
    void SetPixels(int py, int px0, int step, int count, const COLORREF* colors);
    void SetPixel(int px, int py, COLORREF color) { SetPixels(py, px, 1, 1, &color); }
    const QImage& Image() const { return *m_pImage; }

protected:
    bool Compute(const C2DPlotGeometry&) override { return true; }
    void Draw(CDC* pDC, const C2DPlotGeometry& g) override;
    bool FollowsWindow() const override { return false; }

private:
    std::unique_ptr<QImage> m_pImage;
    CRect m_area;
    double m_ratio = 1.0;
    int m_nScale = 1; // device pixels per logical pixel, each way
};

class CPlotLayers
{
public:
    // The view whose window is repainted after a calculation, and its page.
    CPlotLayers(CWnd* pOwner, const C2DPlotGeometry& geometry);
    ~CPlotLayers();
    CPlotLayers(const CPlotLayers&) = delete;
    CPlotLayers& operator=(const CPlotLayers&) = delete;

    template <class L, class... Args> L& Add(Args&&... args)
    {
        auto p = std::make_unique<L>(std::forward<Args>(args)...);
        L& ref = *p;
        m_layers.push_back(std::move(p));
        return ref;
    }
    bool Empty() const { return m_layers.empty(); }

    // The layer is to be computed again; the calculation is queued.
    void MarkStale(CPlotLayer& layer);
    void MarkAllStale();

    // The paint's part: draws the valid shown layers in order and queues the calculation of
    // the stale ones. A printout draws what is valid and queues nothing.
    void Draw(CDC* pDC);

    // Computes the stale shown layers now (the queued calculation runs this).
    void ComputeStale();

private:
    class Receiver;
    void Queue();
    bool NeedsCompute(const CPlotLayer& layer, const PlotFrameKey& key) const;

    CWnd* m_pOwner;
    const C2DPlotGeometry& m_geometry;
    std::vector<std::unique_ptr<CPlotLayer>> m_layers;
    std::unique_ptr<Receiver> m_pReceiver;
    bool m_bQueued = false;
    bool m_bComputing = false;
    bool m_bAgain = false; // asked for while computing
};
