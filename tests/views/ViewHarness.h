#pragma once
// Opens a plot view of a test document in an offscreen window: Graph vs Time of each kind, or any
// other view through KindViewHarness.
#include "GraphTestDoc.h"
#include "common/NextModal.h"
#include "views/graph/GraphView.h"

#include <QApplication>
#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>

// The view class of each system kind, as a view of base class Base.
template <class Base, class Newtonian, class One, class Two, class Three>
Base* NewKindView(SystemKind kind)
{
    switch (kind) {
    case SystemKind::Newtonian:
        return new Newtonian;
    case SystemKind::OneVariable:
        return new One;
    case SystemKind::TwoVariable:
        return new Two;
    case SystemKind::ThreeVariable:
        break;
    }
    return new Three;
}

// A view of a test document in an offscreen window; the view deletes itself when destroyed.
template <class View> class KindViewHarness
{
public:
    explicit KindViewHarness(SystemKind kind) : doc(std::make_unique<CGraphTestDoc>(kind)) {}
    ~KindViewHarness()
    {
        if (view)
            view->DestroyWindow();
    }
    void Open(View* v, int width, int height)
    {
        view = v;
        CCreateContext ctx;
        ctx.m_pCurrentDoc = doc.get();
        view->Create(nullptr, "", WS_VISIBLE, CRect(0, 0, width, height), nullptr, 1, &ctx);
        view->OnInitialUpdate();
    }
    void Repaint()
    {
        view->RedrawWindow();
        QApplication::processEvents();
    }
    void Update(LPARAM hint) { view->OnUpdate(nullptr, hint, nullptr); }
    QImage Picture() const { return view->GetBackingImage(); }
    // Pixel colour at window coordinates (the image may carry the screen's pixel ratio).
    COLORREF Pixel(int x, int y) const
    {
        const QImage img = Picture();
        const qreal r = img.devicePixelRatio();
        const QColor c = img.pixelColor(int(x * r), int(y * r));
        return RGB(c.red(), c.green(), c.blue());
    }
    bool Enabled(UINT id) const
    {
        CCmdUI ui(id);
        view->UpdateCommand(&ui);
        return ui.m_bEnabled;
    }

    std::unique_ptr<CGraphTestDoc> doc;
    View* view = nullptr;
};

class GraphHarness : public KindViewHarness<CGraphView>
{
public:
    explicit GraphHarness(SystemKind kind, int width = 640, int height = 480)
        : KindViewHarness(kind)
    {
        Open(NewKindView<CGraphView, CSys1Graph, CSys1NNGraph, CSys2Graph, CSys3Graph>(kind), width,
             height);
        Repaint();
    }
};
