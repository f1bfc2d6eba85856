// The initial values' labels that each view of each kind writes in its margin, read from what
// the view draws: opened through the real main window's View menu and drawn on a device that
// keeps the texts.
#if defined(HAVE_VELTRIX_VIEWSORBIT) && defined(HAVE_VELTRIX_VIEWSPHASE)
#include "app/MenuDriver.h"
#include "model/CommandIds.h"
#include "model/ViewKinds.h"
#include "platform/Dc.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A paint device that keeps the texts drawn on it and draws nothing.
class CTextDevice : public QPaintDevice
{
public:
    std::vector<std::string> texts;
    QPaintEngine* paintEngine() const override { return &m_engine; }

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth:
        case PdmHeight:
            return 4000;
        case PdmWidthMM:
        case PdmHeightMM:
            return 1000;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return 1;
        }
    }

private:
    class Engine : public QPaintEngine
    {
    public:
        explicit Engine(std::vector<std::string>& texts) : QPaintEngine(AllFeatures), m_texts(texts)
        {
        }
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawPath(const QPainterPath&) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawTextItem(const QPointF&, const QTextItem& item) override
        {
            m_texts.push_back(item.text().toStdString());
        }
        Type type() const override { return User; }

    private:
        std::vector<std::string>& m_texts;
    };
    mutable Engine m_engine{texts};
};

// The labels of the "Initial ..." texts the view draws: each up to its "=" and the blank after
// it, if any.
std::vector<std::string> InitialLabelsDrawn(CView* view)
{
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("page.pdf"));
    CTextDevice device;
    std::vector<std::string> labels;
    {
        QPainter painter(&device);
        CDC dc;
        dc.AttachPrinter(&printer, &painter);
        view->OnDraw(&dc);
    }
    for (const std::string& t : device.texts) {
        const auto eq = t.find('=');
        if (t.rfind("Initial", 0) == 0 && eq != std::string::npos)
            labels.push_back(t.substr(0, eq + 1) + (t.substr(eq + 1, 1) == " " ? " " : ""));
    }
    return labels;
}

CView* ViewNamed(const CDynSys* doc, const std::string& name)
{
    for (CView* v : doc->GetViews())
        if (v->GetRuntimeClass()->m_lpszClassName == name)
            return v;
    return nullptr;
}

struct LabelCase
{
    UINT type;
    int view;
    const char* name;
    std::vector<std::string> labels;
};

const std::vector<std::string> kNewtonian{"Initial x =", "Initial x' ="};
const std::vector<std::string> kOneTight{"Initial x ="}, kOneSpaced{"Initial x = "};
const std::vector<std::string> kTwoTight{"Initial x =", "Initial y ="};
const std::vector<std::string> kTwoSpaced{"Initial x = ", "Initial y = "};
const std::vector<std::string> kThree{"Initial x = ", "Initial y = ", "Initial z = "};

const LabelCase kCases[] = {
    {IDR_SYS1TYPE, kViewGraph, "CSys1Graph", kNewtonian},
    {IDR_SYS1NNTYPE, kViewGraph, "CSys1NNGraph", kOneSpaced},
    {IDR_SYS2TYPE, kViewGraph, "CSys2Graph", kTwoSpaced},
    {IDR_SYS3TYPE, kViewGraph, "CSys3Graph", kThree},
    {IDR_SYS1TYPE, kViewPoincareSection, "CSys1PS", kNewtonian},
    {IDR_SYS1NNTYPE, kViewPoincareSection, "CSys1NNPS", kOneTight},
    {IDR_SYS2TYPE, kViewPoincareSection, "CSys2PS", kTwoTight},
    {IDR_SYS3TYPE, kViewPoincareSection, "CSys3PS", kThree},
    {IDR_SYS1TYPE, kViewProjectedOrbit, "CSys1PSP", kNewtonian},
    {IDR_SYS1NNTYPE, kViewProjectedOrbit, "CSys1NNPSP", kOneTight},
    {IDR_SYS2TYPE, kViewProjectedOrbit, "CSys2PSP", kTwoTight},
    {IDR_SYS3TYPE, kViewProjectedOrbit, "CSys3PSP", kThree},
    {IDR_SYS1TYPE, kViewFullOrbit, "CSys1PSO", kNewtonian},
    {IDR_SYS1NNTYPE, kViewFullOrbit, "CSys1NNPSO", kOneTight},
    {IDR_SYS2TYPE, kViewFullOrbit, "CSys2PSO", kTwoSpaced},
    {IDR_SYS1TYPE, kViewOrbitSections, "CSys1PSOC", kNewtonian},
    {IDR_SYS1NNTYPE, kViewOrbitSections, "CSys1NNPSOC", kOneTight},
    {IDR_SYS2TYPE, kViewOrbitSections, "CSys2PSOC", kTwoSpaced},
    {IDR_SYS1TYPE, kViewVectorField, "CSys1VF", kNewtonian},
    {IDR_SYS1NNTYPE, kViewVectorField, "CSys1NNVF", kOneTight},
    {IDR_SYS2TYPE, kViewVectorField, "CSys2VF", kTwoTight},
};

} // namespace

TEST(MarginTextsCommand, EachViewLabelsTheInitialValuesAsItsKindWritesThem)
{
    for (const LabelCase& c : kCases) {
        SCOPED_TRACE(c.name);
        CDynSys* doc = NewModel(c.type);
        ASSERT_NE(doc, nullptr);
        if (c.view != kViewGraph) {
            ASSERT_TRUE(Choose(ViewInfo(c.view).nID));
        }
        CView* view = ViewNamed(doc, c.name);
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(InitialLabelsDrawn(view), c.labels);
        doc->OnCloseDocument();
    }
}
#endif
