// A model whose equation has no value where the model stands, but has values elsewhere, shows
// through the real main window what it shows from a state where the equation has a value: the
// Basins picture, the Vector Field's nullclines, fixed points and track, and the one-variable
// phase line; the same after File/Save and File/Open. With VELTRIX_SHOTS set to a folder, saves
// the views of the reopened model.
#ifdef HAVE_VELTRIX_VIEWSPHASE
#include "app/DialogHooks.h"
#include "app/MenuDriver.h"
#include "app/ModalDriver.h"
#include "common/MessageRecorder.h"
#include "model/CommandIds.h"
#include "views/phase/BasinsView.h"
#include "views/phase/PhaseLineDraw.h"
#include "views/phase/VectorField1View.h"
#include "views/phase/VectorFieldView.h"

#include <QImage>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

struct FailingCase
{
    UINT type;
    const char* name;
    const char* file;
    const char* rates[2]; // the Newtonian restoring force (no applied force), or x' and y'
};
// Each equation fails right of 0 (a negative number to the power 0.5) and has values left of it.
const FailingCase kCases[] = {
    {IDR_SYS1TYPE, "Newtonian", "failing.ns1", {"(-x)^0.5", ""}},
    {IDR_SYS1NNTYPE, "OneVariable", "failing.ds1", {"-x^0.5+0.1", ""}},
    {IDR_SYS2TYPE, "TwoVariable", "failing.ds2", {"y", "-x^0.5-0.1*y"}},
};

void PrintTo(const FailingCase& c, std::ostream* os)
{
    *os << c.file;
}

void SetEquations(CDynSys* doc, const FailingCase& c)
{
    if (c.type == IDR_SYS1TYPE) {
        doc->m_strAppliedForce = "0";
        doc->m_strRestoringForce = c.rates[0];
    } else {
        doc->m_strXRate = c.rates[0];
        doc->m_strYRate = c.rates[1];
    }
}

// A line typed into the model's data-entry window.
void Enter(CDynSys* doc, const std::string& line)
{
    QLineEdit* edit = doc->DataEntry()->GetWidget()->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    edit->clear();
    QTest::keyClicks(edit, QString::fromStdString(line));
    QTest::keyClick(edit, Qt::Key_Return);
    QCoreApplication::processEvents();
}

template <class View> View* ViewOf(CDynSys* doc)
{
    for (CView* v : doc->GetViews())
        if (auto* view = dynamic_cast<View*>(v))
            return view;
    return nullptr;
}

// The view's frame active and maximised, so that every picture has the same plot.
void Activate(CView* view)
{
    auto* frame = static_cast<CMDIChildWnd*>(view->GetParentFrame());
    frame->MDIActivate();
    frame->ShowWindow(SW_SHOWMAXIMIZED);
    QCoreApplication::processEvents();
    view->RedrawWindow();
}

void Settle(CView* view)
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        vx::DeliverPostedMessages();
        view->RedrawWindow();
    }
}

// What the model's Basins and Vector Field views show.
struct Seen
{
    QImage basins;
    std::vector<double> field;      // nullclines, fixed points and track, or the phase line
    std::vector<std::string> texts; // the boxes on the way
};

void Key(CView* view, char key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QTest::keyClick(view->GetWidget(), key, mods);
    QCoreApplication::processEvents();
}

void Append(std::vector<double>& to, const std::vector<double>& values)
{
    to.insert(to.end(), values.begin(), values.end());
}

// Nullclines and fixed points computed, and a track from a third of the way into the plot.
std::vector<double> PlaneLayers(CVectorFieldView* view)
{
    Key(view, 'N', Qt::ShiftModifier); // computed again, and shown
    Key(view, 'F', Qt::ShiftModifier);
    Key(view, 'T', Qt::ShiftModifier); // the tracks deleted
    const QPoint at((2 * view->m_rcPlot.left + view->m_rcPlot.right) / 3,
                    (view->m_rcPlot.top + view->m_rcPlot.bottom) / 2);
    QTest::mouseClick(view->GetWidget(), Qt::LeftButton, {}, at);
    QCoreApplication::processEvents();
    std::vector<double> out;
    for (int i = 0; i < 2; ++i) {
        out.push_back(view->Plane().Nullcline(i).Count());
        Append(out, view->Plane().Nullcline(i).m_arrX);
        Append(out, view->Plane().Nullcline(i).m_arrY);
    }
    out.push_back(static_cast<double>(view->Plane().FixedPoints().size()));
    for (const CFixedPoint& p : view->Plane().FixedPoints())
        Append(out, {p.x, p.y, static_cast<double>(p.type)});
    for (const CVFTrack& track : view->Plane().Tracks()) {
        Append(out, track.m_arrX);
        Append(out, track.m_arrY);
    }
    return out;
}

Seen Look(CDynSys* doc)
{
    Seen seen;
    MessageRecorder boxes;
    CBasinsView* basins = ViewOf<CBasinsView>(doc);
    CVectorFieldBase* field = ViewOf<CVectorFieldBase>(doc);
    if (!basins || !field)
        return seen;
    Activate(basins);
    doc->m_nBADepth = 40;
    const bool scanned = Choose(ID_CONTROLS_RUN) && Pump([basins] { return !basins->Scanning(); });
    EXPECT_TRUE(scanned) << "the Basins scan did not end";
    if (scanned)
        seen.basins = basins->Picture().Image().copy();
    Activate(field);
    if (auto* plane = dynamic_cast<CVectorFieldView*>(field)) {
        seen.field = PlaneLayers(plane);
    } else {
        Settle(field);
        const CPhaseLine& line = static_cast<CSys1NNVF*>(field)->PhaseLine().Line();
        seen.field = line.m_arrX;
        Append(seen.field, line.m_arrXp);
    }
    Settle(field);
    seen.texts = boxes.messages;
    return seen;
}

// Equal bit for bit (not a number included).
bool SameValues(const std::vector<double>& a, const std::vector<double>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

// The views show what they showed where the equation has a value.
void ExpectSeenAs(const Seen& seen, const Seen& valued)
{
    ASSERT_FALSE(seen.basins.isNull());
    EXPECT_TRUE(seen.basins == valued.basins);
    EXPECT_TRUE(SameValues(seen.field, valued.field));
    EXPECT_EQ(seen.texts, valued.texts);
}

// How many colours the picture has: more than two for a scan with a result of its own.
std::size_t Colours(const QImage& image)
{
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    return colours.size();
}

void SaveShots(CDynSys* doc, const char* file)
{
    const char* dir = std::getenv("VELTRIX_SHOTS");
    if (!dir)
        return;
    for (CView* view : {static_cast<CView*>(ViewOf<CBasinsView>(doc)),
                        static_cast<CView*>(ViewOf<CVectorFieldBase>(doc))}) {
        Activate(view);
        Settle(view);
        view->GetWidget()->grab().save(QString(dir) + "/recorded_where_failing_" + file +
                                       (view == ViewOf<CBasinsView>(doc) ? "_basins" : "_field") +
                                       ".png");
    }
}

} // namespace

// The main window small while it lives, then maximised again: the three Basins scans of a kind
// take a fifth of the time they take in a maximised window, minutes under the sanitizers.
class SmallMainWindow
{
public:
    SmallMainWindow() : m_main(StartShell()->GetWidget())
    {
        m_main->showNormal();
        m_main->resize(480, 360);
        QCoreApplication::processEvents();
    }
    ~SmallMainWindow()
    {
        m_main->showMaximized();
        QCoreApplication::processEvents();
    }
    SmallMainWindow(const SmallMainWindow&) = delete;
    SmallMainWindow& operator=(const SmallMainWindow&) = delete;

private:
    QWidget* m_main;
};

// Each kind of model in a ctest entry of its own, for the same reason.
class RecordingWhereFailing : public testing::TestWithParam<FailingCase>
{
};

TEST_P(RecordingWhereFailing, ViewsOfAModelStandingWhereItsEquationFailsAreThoseOfAValuedState)
{
    const std::string corrupted = "has become corrupted.";
    const FailingCase& c = GetParam();
    ASSERT_NE(StartShell(), nullptr); // its own answers to the boxes first
    const SmallMainWindow small;
    Dialogs dialogs;
    dialogs.path = ::testing::TempDir() + c.file;
    std::remove(dialogs.path.c_str());
    CDynSys* doc = NewModel(c.type);
    ASSERT_NE(doc, nullptr);
    SetEquations(doc, c);
    Enter(doc, "ix=-1");
    ASSERT_TRUE(Choose(ID_BASINS));
    ASSERT_TRUE(Choose(ID_VECTOR_FIELD));
    const Seen valued = Look(doc);
    ASSERT_FALSE(valued.basins.isNull());
    EXPECT_GT(Colours(valued.basins), 2u);
    EXPECT_GT(valued.field.size(), 100u);

    // Moved to where the equation fails, in the same sitting.
    Enter(doc, "ix=1");
    EXPECT_DOUBLE_EQ(doc->m_dX, 1);
    ASSERT_NO_FATAL_FAILURE(ExpectSeenAs(Look(doc), valued));

    // Saved and opened again there: it is recorded there afresh, with the message it had.
    {
        ModalDriver driver({[&](QDialog* d) {
            d->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(dialogs.path));
            d->accept();
        }});
        ASSERT_TRUE(Choose(ID_FILE_SAVE));
        ASSERT_TRUE(driver.Done());
    }
    ASSERT_TRUE(Choose(ID_FILE_CLOSE));
    dialogs.texts.clear();
    ASSERT_TRUE(Choose(ID_FILE_OPEN));
    Idle();
    ASSERT_EQ(dialogs.texts.size(), 1u);
    EXPECT_NE(dialogs.texts[0].find(corrupted), std::string::npos) << dialogs.texts[0];
    CDynSys* opened = nullptr;
    for (CDocument* d : TemplateOf(c.type)->GetDocuments())
        opened = dynamic_cast<CDynSys*>(d);
    ASSERT_NE(opened, nullptr);
    EXPECT_DOUBLE_EQ(opened->m_dX, 1);
    ASSERT_NO_FATAL_FAILURE(ExpectSeenAs(Look(opened), valued));
    SaveShots(opened, c.file);
    opened->OnCloseDocument();
    std::remove(dialogs.path.c_str());
}
INSTANTIATE_TEST_SUITE_P(RecordingState, RecordingWhereFailing, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A damaged file whose x' has junk after an expression: Open says so, and the Vector Field draws
// nothing of the expression before the junk (a*x + b*y, whose (0,0) is a stable spiral).
TEST(RecordingState, AnEquationWithJunkAfterAnExpressionDrawsNothingOfThatExpression)
{
    ASSERT_NE(StartShell(), nullptr);
    Dialogs dialogs;
    dialogs.path = ::testing::TempDir() + "junk.ds2";
    CDynSys* doc = NewModel(IDR_SYS2TYPE);
    ASSERT_NE(doc, nullptr);
    doc->m_strXRate = "a*x+b*y$";
    ASSERT_TRUE(doc->OnSaveDocument(dialogs.path.c_str()));
    doc->OnCloseDocument();
    dialogs.texts.clear();
    ASSERT_TRUE(Choose(ID_FILE_OPEN));
    Idle();
    ASSERT_EQ(dialogs.texts.size(), 1u);
    EXPECT_NE(dialogs.texts[0].find("has become corrupted."), std::string::npos);
    CDynSys* opened = nullptr;
    for (CDocument* d : TemplateOf(IDR_SYS2TYPE)->GetDocuments())
        opened = dynamic_cast<CDynSys*>(d);
    ASSERT_NE(opened, nullptr);
    ASSERT_TRUE(Choose(ID_VECTOR_FIELD));
    auto* view = ViewOf<CVectorFieldView>(opened);
    ASSERT_NE(view, nullptr);
    Activate(view);
    for (char layer : {'D', 'N', 'F'})
        Key(view, layer); // Yes to each question
    Settle(view);
    const CPhasePlane& plane = view->Plane();
    const CDirectionField& field = plane.DirectionField();
    ASSERT_FALSE(field.m_arrX1.empty());
    EXPECT_EQ(field.m_arrX2, field.m_arrX1) << "x' has no value anywhere";
    EXPECT_EQ(plane.Nullcline(0).Count(), 0);
    EXPECT_TRUE(plane.FixedPoints().empty());
    opened->OnCloseDocument();
    std::remove(dialogs.path.c_str());
}
#endif
