#pragma once
// Opens a Graph vs Time view of a test document in a window of a given size, offscreen.
#include "GraphTestDoc.h"
#include "views/graph/GraphView.h"

#include <QApplication>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

inline CGraphView* NewGraphView(SystemKind kind)
{
    switch (kind) {
    case SystemKind::Newtonian:
        return new CSys1Graph;
    case SystemKind::OneVariable:
        return new CSys1NNGraph;
    case SystemKind::TwoVariable:
        return new CSys2Graph;
    case SystemKind::ThreeVariable:
        break;
    }
    return new CSys3Graph;
}

class GraphHarness
{
public:
    explicit GraphHarness(SystemKind kind, int width = 640, int height = 480)
        : doc(std::make_unique<CGraphTestDoc>(kind))
    {
        view = NewGraphView(kind);
        CCreateContext ctx;
        ctx.m_pCurrentDoc = doc.get();
        view->Create(nullptr, "", WS_VISIBLE, CRect(0, 0, width, height), nullptr, 1, &ctx);
        view->OnInitialUpdate();
        Repaint();
    }
    ~GraphHarness()
    {
        if (view)
            view->DestroyWindow(); // the view deletes itself
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

    std::unique_ptr<CGraphTestDoc> doc;
    CGraphView* view = nullptr;
};

// Runs fn on the next modal dialog that opens (then the test's own code continues).
inline void OnNextModal(std::function<void(QWidget*)> fn)
{
    QTimer::singleShot(0, [fn] {
        if (QWidget* w = QApplication::activeModalWidget())
            fn(w);
    });
}
