// The Vector Field views through the real main window: View/Vector Field opens the view of each
// kind (grey while it is open and for equations that read delayed values); the buttons and keys
// draw the layers of the Newtonian and two-variable planes, asking for what a layer needs; a
// click starts a track; a spin step computes the shown layers again; Run greys the controls and
// its end restores them. With VELTRIX_SHOTS set to a folder, saves each plane with every layer.
#ifdef HAVE_VELTRIX_VIEWSPHASE
#include "app/MenuDriver.h"
#include "app/ModalDriver.h"
#include "common/CurveGrowthLimit.h"
#include "common/DoubleWell.h"
#include "common/MessageRecorder.h"
#include "model/CommandIds.h"
#include "model/ViewKinds.h"
#include "views/dialogs/PlotLimDlg.h"
#include "views/phase/PhaseLineDraw.h"
#include "views/phase/VectorField1View.h"
#include "views/phase/VectorFieldDraw.h"
#include "views/phase/VectorFieldView.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

using L = CVectorFieldView;

struct KindCase
{
    UINT type;
    const char* viewClass;
};
const KindCase kKinds[] = {
    {IDR_SYS1TYPE, "CSys1VF"}, {IDR_SYS1NNTYPE, "CSys1NNVF"}, {IDR_SYS2TYPE, "CSys2VF"}};

// The double well x'' = x - x^3 - 0.5 x' as the kind writes it (b scales the spring).
void MakeDoubleWell(CDynSys* doc)
{
    SetDoubleWell(*doc, "b*");
    doc->m_dVFMin1 = doc->m_dVFMin2 = -2;
    doc->m_dVFMax1 = doc->m_dVFMax2 = 2;
    doc->UpdateAllViews(nullptr, HINT_MODEL);
}

// A new model of the kind with its Vector Field open, active and maximised.
template <class View = CVectorFieldBase> View* OpenVectorField(UINT type, CDynSys*& doc)
{
    return OpenViewOfNewModel<View>(type, ID_VECTOR_FIELD, doc);
}

// The plane of the double well of the kind, open.
L* OpenDoubleWell(UINT type, CDynSys*& doc)
{
    L* view = OpenVectorField<L>(type, doc);
    if (view)
        MakeDoubleWell(doc);
    return view;
}

// The queued calculations of the layers done and the view drawn with them.
void Settle(CView* view)
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        vx::DeliverPostedMessages();
        view->RedrawWindow();
    }
}

void Click(CButton& button)
{
    QTest::mouseClick(button.GetWidget(), Qt::LeftButton);
    QCoreApplication::processEvents();
}

void Key(CView* view, char key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QTest::keyClick(view->GetWidget(), key, mods);
    QCoreApplication::processEvents();
}

// Enter in a one-line edit of the strip after typing text.
void Enter(CEdit& edit, const std::string& text)
{
    edit.SetWindowText(text);
    QTest::keyClick(edit.GetWidget(), Qt::Key_Return);
    QCoreApplication::processEvents();
}

std::vector<std::string> ListedTypes(const CVectorFieldView* view)
{
    std::vector<std::string> types;
    for (const CFixedPoint& p : view->Plane().FixedPoints())
        types.push_back(FixedPointText(p.type));
    return types;
}

// Where the phase line's x' rises through 0 (NAN when it does not).
double UnstableZero(const CSys1NNVF* view)
{
    for (const CPhaseZero& z : view->PhaseLine().Line().m_zeros)
        if (z.kind == kZeroUnstable)
            return z.x;
    return NAN;
}

} // namespace

TEST(VectorFieldCommands, ViewMenuOpensTheViewOfEachKind)
{
    for (const KindCase& k : kKinds) {
        SCOPED_TRACE(k.viewClass);
        CDynSys* doc = nullptr;
        CVectorFieldBase* view = OpenVectorField(k.type, doc);
        ASSERT_NE(view, nullptr);
        EXPECT_STREQ(view->GetRuntimeClass()->m_lpszClassName, k.viewClass);
        EXPECT_EQ(doc->m_nOpenViews[kViewVectorField], 1);
        EXPECT_FALSE(Offered(ID_VECTOR_FIELD)) << "one view per document";
        EXPECT_EQ(view->GetParentFrame()->GetWindowText(), doc->m_strFileName + " Vector Field");
        EXPECT_TRUE(Offered(ID_CONTROLS_SET_LIMITS));
        EXPECT_FALSE(doc->IsModified()) << "opening the view changes nothing of the model";
        doc->OnCloseDocument();
    }
}

// A model saved with its Vector Field open reopens it, unchanged, when its window comes to the
// front.
TEST(VectorFieldCommands, ASavedModelReopensItsView)
{
    const char* extensions[] = {".ns1", ".ds1", ".ds2"};
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(kKinds[k].viewClass);
        const std::string path = ::testing::TempDir() + "field" + extensions[k];
        CDynSys* doc = nullptr;
        ASSERT_NE(OpenVectorField(kKinds[k].type, doc), nullptr);
        doc->m_nSpinParam = kSpinT;
        doc->m_dVFTime = 1.5;
        ASSERT_TRUE(doc->OnSaveDocument(path.c_str()));
        doc->OnCloseDocument();

        auto* opened =
            dynamic_cast<CDynSys*>(TemplateOf(kKinds[k].type)->OpenDocumentFile(path.c_str()));
        ASSERT_NE(opened, nullptr);
        QCoreApplication::processEvents();
        Idle();
        CVectorFieldBase* view = nullptr;
        for (CView* v : opened->GetViews())
            if (!view)
                view = dynamic_cast<CVectorFieldBase*>(v);
        ASSERT_NE(view, nullptr);
        EXPECT_STREQ(view->GetRuntimeClass()->m_lpszClassName, kKinds[k].viewClass);
        EXPECT_EQ(view->m_editParam.GetWindowText(), "t");
        EXPECT_DOUBLE_EQ(opened->m_dVFTime, 1.5) << "the spun time is kept with the model";
        EXPECT_FALSE(opened->IsModified());
        opened->OnCloseDocument();
        std::remove(path.c_str());
    }
}

TEST(VectorFieldCommands, GreyForEquationsThatReadDelayedValues)
{
    CDynSys* doc = NewModel(IDR_SYS2TYPE);
    ASSERT_NE(doc, nullptr);
    doc->m_strXRate = "y:";
    EXPECT_FALSE(Offered(ID_VECTOR_FIELD));
    doc->m_strXRate = "y";
    EXPECT_TRUE(Offered(ID_VECTOR_FIELD));
    doc->OnCloseDocument();
}

TEST(VectorFieldCommands, ButtonsAndKeysDrawEachLayerOfTheDoubleWell)
{
    for (UINT type : {IDR_SYS1TYPE, IDR_SYS2TYPE}) {
        SCOPED_TRACE(type);
        CDynSys* doc = nullptr;
        L* view = OpenDoubleWell(type, doc);
        ASSERT_NE(view, nullptr);
        MessageRecorder boxes;

        Click(view->Button(L::kLayerD, false));
        EXPECT_TRUE(view->Shown(L::kLayerD) && view->Valid(L::kLayerD));
        EXPECT_GT(view->Plane().DirectionField().m_arrX1.size(), 50u);
        Key(view, 'N');
        EXPECT_TRUE(view->Valid(L::kLayerN));
        EXPECT_GT(view->Plane().Nullcline(1).Count(), 10);
        Click(view->Button(L::kLayerF, false));
        EXPECT_TRUE(view->Valid(L::kLayerF));
        std::vector<std::string> types = ListedTypes(view);
        std::sort(types.begin(), types.end());
        EXPECT_EQ(types,
                  (std::vector<std::string>{"saddle point", "stable spiral", "stable spiral"}));
        Key(view, 'M');
        EXPECT_TRUE(view->Valid(L::kLayerM));
        EXPECT_EQ(view->Plane().Manifolds()[0].Count(), 2 * doc->m_nManifoldSteps);
        EXPECT_TRUE(boxes.messages.empty()) << boxes.messages.front();

        // A click in the plot starts a track there.
        const CPoint at((view->m_rcPlot.left + view->m_rcPlot.right) / 3,
                        (view->m_rcPlot.top + view->m_rcPlot.bottom) / 3);
        QTest::mouseClick(view->GetWidget(), Qt::LeftButton, {}, QPoint(at.x, at.y));
        QCoreApplication::processEvents();
        ASSERT_EQ(view->Plane().Tracks().size(), 1u);
        EXPECT_NEAR(view->Plane().Tracks()[0].m_arrX[0], view->PixelToWorldX(at.x), 0.01);
        EXPECT_EQ(view->Plane().Tracks()[0].Count(), doc->m_nTrackSteps + 1);
        EXPECT_TRUE(view->Shown(L::kLayerT));
        Settle(view);
        if (const char* dir = std::getenv("VELTRIX_SHOTS"))
            StartShell()->GetWidget()->grab().save(
                QString(dir) + (type == IDR_SYS1TYPE ? "/vf_newtonian_double_well.png"
                                                     : "/vf_two_variable_double_well.png"));

        // Shift+T deletes the tracks; Toggle T hides them.
        Key(view, 'T', Qt::ShiftModifier);
        EXPECT_TRUE(view->Plane().Tracks().empty());
        Click(view->Button(L::kLayerT, false));
        EXPECT_FALSE(view->Shown(L::kLayerT));
        // Clear Data hides and discards every layer.
        ASSERT_TRUE(Choose(ID_CONTROLS_CLEARDATA));
        for (int layer = L::kLayerD; layer <= L::kLayerM; ++layer)
            EXPECT_FALSE(view->Shown(layer)) << layer;
        EXPECT_TRUE(view->Plane().FixedPoints().empty());
        doc->OnCloseDocument();
    }
}

TEST(VectorFieldCommands, DefaultModelsWithEveryLayer)
{
    const struct
    {
        UINT type;
        const char* shot;
        std::vector<std::string> types;
    } cases[] = {
        // x'' = cos(t) - x - x' at t = 0: the spring's rest at x = 1.
        {IDR_SYS1TYPE, "/vf_newtonian_default.png", {"stable spiral"}},
        // x' = y, y' = -x - 0.1 y: a damped oscillator.
        {IDR_SYS2TYPE, "/vf_two_variable_default.png", {"stable spiral"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shot);
        CDynSys* doc = nullptr;
        L* view = OpenVectorField<L>(c.type, doc);
        ASSERT_NE(view, nullptr);
        MessageRecorder boxes({msgbox::IDYES, msgbox::IDYES});
        for (int layer = L::kLayerD; layer <= L::kLayerM; ++layer)
            Click(view->Button(layer, false));
        view->CalcTracks();
        EXPECT_EQ(ListedTypes(view), c.types);
        Settle(view);
        if (const char* dir = std::getenv("VELTRIX_SHOTS"))
            StartShell()->GetWidget()->grab().save(QString(dir) + c.shot);
        doc->OnCloseDocument();
    }
}

TEST(VectorFieldCommands, ALayerAsksForThePassesItNeeds)
{
    CDynSys* doc = nullptr;
    L* view = OpenDoubleWell(IDR_SYS2TYPE, doc);
    ASSERT_NE(view, nullptr);
    {
        MessageRecorder no({msgbox::IDNO});
        Click(view->Button(L::kLayerF, false));
        ASSERT_EQ(no.messages.size(), 1u);
        EXPECT_EQ(no.messages[0].rfind("Fixed points are not available until", 0), 0u);
        EXPECT_FALSE(view->Shown(L::kLayerF));
    }
    {
        MessageRecorder yes({msgbox::IDYES});
        Click(view->Button(L::kLayerF, false));
        EXPECT_EQ(yes.messages.size(), 1u);
        EXPECT_TRUE(view->Valid(L::kLayerF));
        EXPECT_FALSE(view->Shown(L::kLayerN)) << "the nullclines are computed, not shown";
        EXPECT_EQ(view->Plane().FixedPoints().size(), 3u);
    }
    // A model without a saddle: M says so and stays hidden (the button) or shown (the key).
    doc->m_strYRate = "-x-0.5*y";
    doc->UpdateAllViews(nullptr, HINT_MODEL);
    {
        MessageRecorder boxes({msgbox::IDYES});
        Click(view->Button(L::kLayerM, false));
        ASSERT_EQ(boxes.messages.size(), 2u);
        EXPECT_EQ(boxes.messages[0].rfind("Manifolds are not available until", 0), 0u);
        EXPECT_EQ(boxes.messages[1], "No saddle points were located\nso no manifolds were found.");
        EXPECT_FALSE(view->Shown(L::kLayerM));
        Key(view, 'M'); // the fixed points are known now: the key looks for a saddle first
        EXPECT_EQ(boxes.messages.size(), 3u);
        EXPECT_FALSE(view->Shown(L::kLayerM));
    }
    doc->OnCloseDocument();
}

// F asks for the nullclines whenever they are not current for the window, not only the first
// time; shown again unchanged, it asks nothing.
TEST(VectorFieldCommands, FAsksForTheNullclinesWheneverTheyAreNotCurrent)
{
    CDynSys* doc = nullptr;
    L* view = OpenDoubleWell(IDR_SYS2TYPE, doc);
    ASSERT_NE(view, nullptr);
    MessageRecorder boxes({msgbox::IDYES, msgbox::IDNO});
    Key(view, 'F');
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(view->Plane().FixedPoints().size(), 3u);
    Key(view, 'F');
    Key(view, 'F');
    EXPECT_EQ(boxes.messages.size(), 1u);
    Key(view, 'F');
    ASSERT_TRUE(Choose(ID_CONTROLS_ZOOM_NEAR)); // a new window: nothing shown computes
    Key(view, 'F');
    ASSERT_EQ(boxes.messages.size(), 2u);
    EXPECT_EQ(boxes.messages[1], boxes.messages[0]);
    EXPECT_FALSE(view->Shown(L::kLayerF));
    doc->OnCloseDocument();
}

// Where x'' = 0 has no curve in the plot, its pass leaves the nullclines to do: F and each
// Shift+F that computes the fixed points ask again, and a Yes goes on with none found.
TEST(VectorFieldCommands, FAsksAgainWhereTheNewtonianNullclineIsStillToDo)
{
    CDynSys* doc = nullptr;
    L* view = OpenVectorField<L>(IDR_SYS1TYPE, doc);
    ASSERT_NE(view, nullptr);
    SetForces(*doc, "1", "0", "0");
    doc->UpdateAllViews(nullptr, HINT_MODEL);
    MessageRecorder boxes({msgbox::IDYES, msgbox::IDYES, msgbox::IDNO});
    Key(view, 'F');
    EXPECT_EQ(boxes.messages.size(), 1u);
    for (bool agreed : {true, false}) {
        Key(view, 'F', Qt::ShiftModifier);
        EXPECT_EQ(view->Shown(L::kLayerF), agreed);
        EXPECT_TRUE(view->Plane().FixedPoints().empty());
    }
    ASSERT_EQ(boxes.messages.size(), 3u);
    EXPECT_EQ(boxes.messages[2], boxes.messages[0]);
    doc->OnCloseDocument();
}

TEST(VectorFieldCommands, SpinningRecomputesTheShownLayersAndKeepsTheTracks)
{
    for (UINT type : {IDR_SYS1TYPE, IDR_SYS2TYPE}) {
        SCOPED_TRACE(type);
        CDynSys* doc = nullptr;
        L* view = OpenDoubleWell(type, doc);
        ASSERT_NE(view, nullptr);
        MessageRecorder boxes({msgbox::IDYES});
        Click(view->Button(L::kLayerF, false));
        view->CalcTracks();
        ASSERT_EQ(view->Plane().FixedPoints().size(), 3u);
        Enter(view->m_editParam, "b");
        EXPECT_EQ(doc->m_nSpinParam, kSpinB);
        EXPECT_EQ(view->m_editValue.GetWindowText(), "1");
        EXPECT_DOUBLE_EQ(view->SpinModel().Range(kSpinB).hi, 3);
        // One step up: b = 1.04, the wells at +-sqrt(b).
        QTest::keyClick(view->m_spinCtrl.GetWidget(), Qt::Key_Up);
        QCoreApplication::processEvents();
        EXPECT_DOUBLE_EQ(doc->m_dParamB, 1.04);
        EXPECT_EQ(doc->m_strParamB, "1") << "a step leaves the parameter's text";
        EXPECT_TRUE(view->Valid(L::kLayerF)) << "computed again before the repaint";
        double largest = 0;
        for (const CFixedPoint& p : view->Plane().FixedPoints())
            largest = std::max(largest, p.x);
        EXPECT_NEAR(largest, std::sqrt(1.04), 1e-3);
        EXPECT_EQ(view->Plane().Tracks().size(), 1u);
        EXPECT_EQ(boxes.messages.size(), 1u) << "a spin step asks nothing";

        // A typed value is taken with its text and its range is set round it.
        Enter(view->m_editValue, "4");
        EXPECT_EQ(doc->m_strParamB, "4");
        EXPECT_DOUBLE_EQ(view->SpinModel().Range(kSpinB).lo, -4);
        Enter(view->m_editValue, "1e31");
        EXPECT_EQ(boxes.messages.back(), "Please enter a number from -1e30 to +1e30");
        EXPECT_EQ(doc->m_strParamB, "4") << "a refused entry changes nothing";
        Enter(view->m_editParam, "A");
        EXPECT_EQ(boxes.messages.back().rfind("Only the parameters a, b, c, d", 0), 0u);
        EXPECT_EQ(doc->m_nSpinParam, kSpinB);

        // af spins in the Newtonian view only, in its copy: the run's af stays.
        Enter(view->m_editParam, "af");
        if (type == IDR_SYS1TYPE) {
            EXPECT_EQ(doc->m_nSpinParam, kSpinAF);
            QTest::keyClick(view->m_spinCtrl.GetWidget(), Qt::Key_Up);
            EXPECT_DOUBLE_EQ(doc->m_dSpinAF, 1.02);
            EXPECT_DOUBLE_EQ(view->Plane().Params().af, 1.02);
            EXPECT_DOUBLE_EQ(doc->m_dAngFreq, 1);
        } else {
            EXPECT_EQ(doc->m_nSpinParam, kSpinB);
        }
        doc->OnCloseDocument();
    }
}

// A spin step is no change of the model: whatever update follows it keeps the layers shown, the
// tracks and the spin range round the value the parameter had.
TEST(VectorFieldCommands, AnUpdateAfterASpinStepKeepsTheLayersTracksAndRange)
{
    using Update = std::function<void(L*, CDynSys*)>;
    const auto choose = [](UINT id) { return [id](L*, CDynSys*) { ASSERT_TRUE(Choose(id)); }; };
    const struct
    {
        const char* name;
        Update update;
    } updates[] = {
        {"zoom", choose(ID_CONTROLS_ZOOM_NEAR)},
        {"pan", choose(ID_CONTROLS_PAN_LEFT)},
        {"reset_limits", choose(ID_CONTROLS_RESET_LIMITS)},
        {"set_limits",
         [](L*, CDynSys*) {
             ModalDriver driver({Accept});
             ASSERT_TRUE(Choose(ID_CONTROLS_SET_LIMITS));
             ASSERT_TRUE(driver.Done());
         }},
        {"rubber_band",
         [](L* v, CDynSys*) {
             // Round the saddle at the centre, so that the manifolds stay in the window.
             const QPoint c = QPoint(v->m_rcPlot.left + v->m_rcPlot.right,
                                     v->m_rcPlot.top + v->m_rcPlot.bottom) /
                              2;
             const QPoint a = c - QPoint(120, 90), b = c + QPoint(120, 90);
             QTest::mousePress(v->GetWidget(), Qt::LeftButton, {}, a);
             QTest::mouseMove(v->GetWidget(), b);
             QTest::mouseRelease(v->GetWidget(), Qt::LeftButton, {}, b);
             QCoreApplication::processEvents();
         }},
        {"run", [](L*, CDynSys* doc) { ASSERT_TRUE(RunThroughMenu(doc)); }},
        {"data_entry",
         [](L*, CDynSys* doc) {
             QLineEdit* edit = doc->DataEntry()->GetWidget()->findChild<QLineEdit*>();
             ASSERT_NE(edit, nullptr);
             QTest::keyClicks(edit, "vfxhi=1.5");
             QTest::keyClick(edit, Qt::Key_Return);
             QCoreApplication::processEvents();
         }},
    };
    for (UINT type : {IDR_SYS1TYPE, IDR_SYS2TYPE})
        for (const auto& u : updates) {
            SCOPED_TRACE(std::string(u.name) + (type == IDR_SYS1TYPE ? " newtonian" : " two"));
            CDynSys* doc = nullptr;
            L* view = OpenDoubleWell(type, doc);
            ASSERT_NE(view, nullptr);
            doc->m_dVFAbsMin1 = doc->m_dVFAbsMin2 = -3; // room to pan and reset
            doc->m_dVFAbsMax1 = doc->m_dVFAbsMax2 = 3;
            MessageRecorder boxes({msgbox::IDYES});
            for (int layer = L::kLayerD; layer <= L::kLayerM; ++layer)
                Click(view->Button(layer, false));
            view->CalcTracks();
            Enter(view->m_editParam, "b");
            QTest::keyClick(view->m_spinCtrl.GetWidget(), Qt::Key_Up);
            QCoreApplication::processEvents();
            ASSERT_DOUBLE_EQ(doc->m_dParamB, 1.04);

            u.update(view, doc);
            Settle(view);
            for (int layer = L::kLayerD; layer <= L::kLayerT; ++layer)
                EXPECT_TRUE(view->Shown(layer) && view->Valid(layer)) << layer;
            EXPECT_EQ(view->Plane().Tracks().size(), 1u);
            EXPECT_EQ(view->SpinModel().Range(kSpinB), (SpinRange{-1, 3}));
            EXPECT_DOUBLE_EQ(doc->m_dParamB, 1.04);
            EXPECT_EQ(view->m_editValue.GetWindowText(), "1.04");
            const char* dir = std::getenv("VELTRIX_SHOTS");
            if (dir && std::string(u.name) == "zoom")
                StartShell()->GetWidget()->grab().save(
                    QString(dir) + (type == IDR_SYS1TYPE ? "/vf_newtonian_spin_then_zoom.png"
                                                         : "/vf_two_variable_spin_then_zoom.png"));
            doc->SetModifiedFlag(FALSE);
            doc->OnCloseDocument();
        }
}

TEST(VectorFieldCommands, OneVariablePhaseLineMarksItsZerosAndFollowsTheSpin)
{
    CDynSys* doc = nullptr;
    auto* view = OpenVectorField<CSys1NNVF>(IDR_SYS1NNTYPE, doc);
    ASSERT_NE(view, nullptr);
    // x' = sin(x) on -10 .. 10: zeros at the multiples of pi, stable where sin falls.
    ASSERT_TRUE(Pump([view] { return !view->PhaseLine().Line().m_zeros.empty(); }));
    const std::vector<CPhaseZero>& zeros = view->PhaseLine().Line().m_zeros;
    ASSERT_EQ(zeros.size(), 7u);
    for (const CPhaseZero& z : zeros) {
        const long k = std::lround(z.x / M_PI);
        EXPECT_NEAR(z.x, k * M_PI, 0.05);
        EXPECT_EQ(z.kind, k % 2 ? kZeroStable : kZeroUnstable) << z.x;
    }
    Settle(view);
    if (const char* dir = std::getenv("VELTRIX_SHOTS"))
        StartShell()->GetWidget()->grab().save(QString(dir) + "/vf_one_variable.png");

    // x' = x - a - t: spinning a, then t, moves the zero.
    doc->m_strXRate = "x-a-t";
    doc->RecordEquations();
    doc->UpdateAllViews(nullptr, HINT_MODEL);
    Enter(view->m_editParam, "a");
    QTest::keyClick(view->m_spinCtrl.GetWidget(), Qt::Key_Up);
    QCoreApplication::processEvents();
    EXPECT_DOUBLE_EQ(doc->m_dParamA, 1.04);
    EXPECT_NEAR(UnstableZero(view), 1.04, 0.05);
    Enter(view->m_editParam, "t");
    EXPECT_EQ(doc->m_dVFTime, 0) << "choosing t keeps it";
    view->m_editBuddy.SetWindowText("50");
    EXPECT_DOUBLE_EQ(doc->m_dVFTime, doc->m_dRunTimeLimit / 2);
    EXPECT_NEAR(UnstableZero(view), 1.04 + M_PI, 0.05);
    // The extents of x' that the model keeps are those of the curve now shown.
    EXPECT_NEAR(doc->m_dSpinMin, doc->m_dVFMax1 - 1.04 - M_PI, 0.05);
    doc->OnCloseDocument();
}

// Curves whose points cannot grow past eight (as when memory runs out): the nullclines say so and
// stay empty, the Newtonian pass done, the two-variable one to do again (so F asks for it and
// runs out again); a track says so at each failure, is kept emptied, and turns the curves off,
// so that later tracks are not kept and nullclines are not computed.
TEST(VectorFieldCommands, CurvesThatRunOutOfMemorySaySoAndTurnTheCurvesOff)
{
    const std::string nullclineMemory = "There is not enough memory on your system\nto save the "
                                        "nullcline track data.  Nullcline tracks will\nnot be "
                                        "displayed.";
    const std::string trackMemory = "There is not enough memory on your system\nto save the "
                                    "previous track data.  Old tracks will disappear\nwith each "
                                    "repainting of the window";
    const std::string fixedPointsQuestion = "Fixed points are not available until \nnullclines "
                                            "have been calculated.  Do\nyou wish to calculate "
                                            "nullclines now?";
    const struct
    {
        UINT type;
        bool nullclinesValid;
        std::vector<std::string> throughF; // the boxes of N, then F answered Yes
    } kinds[] = {
        {IDR_SYS1TYPE, true, {nullclineMemory}},
        {IDR_SYS2TYPE, false, {nullclineMemory, fixedPointsQuestion, nullclineMemory}},
    };
    for (const auto& k : kinds) {
        const UINT type = k.type;
        SCOPED_TRACE(type);
        CDynSys* doc = nullptr;
        L* view = OpenDoubleWell(type, doc);
        ASSERT_NE(view, nullptr);
        MessageRecorder boxes;
        const QPoint at((view->m_rcPlot.left + view->m_rcPlot.right) / 3,
                        (view->m_rcPlot.top + view->m_rcPlot.bottom) / 3);
        {
            CurveGrowthLimit limit;
            Key(view, 'N');
            EXPECT_EQ(boxes.messages, std::vector<std::string>{nullclineMemory});
            EXPECT_TRUE(view->Plane().Nullcline(1).Empty());
            EXPECT_EQ(view->Valid(L::kLayerN), k.nullclinesValid);
            EXPECT_TRUE(view->Plane().CurvesEnabled()) << "a nullcline turns nothing off";
            boxes.answers = {msgbox::IDYES};
            Key(view, 'F');
            EXPECT_EQ(boxes.messages, k.throughF);
            EXPECT_TRUE(view->Shown(L::kLayerF) && view->Valid(L::kLayerF));
            EXPECT_TRUE(view->Plane().FixedPoints().empty()) << "none along no nullcline";

            boxes.messages.clear();
            QTest::mouseClick(view->GetWidget(), Qt::LeftButton, {}, at);
            QCoreApplication::processEvents();
            ASSERT_FALSE(boxes.messages.empty());
            EXPECT_EQ(boxes.messages, std::vector<std::string>(boxes.messages.size(), trackMemory));
            ASSERT_EQ(view->Plane().Tracks().size(), 1u) << "the emptied track stays";
            EXPECT_LE(view->Plane().Tracks()[0].Count(), 8);
            EXPECT_FALSE(view->Plane().CurvesEnabled());
        }
        // With memory again the curves stay off.
        boxes.messages.clear();
        QTest::mouseClick(view->GetWidget(), Qt::LeftButton, {}, at);
        QCoreApplication::processEvents();
        EXPECT_EQ(view->Plane().Tracks().size(), 1u) << "a later track is not kept";
        Key(view, 'N', Qt::ShiftModifier);
        EXPECT_TRUE(view->Plane().Nullcline(1).Empty()) << "nor a nullcline computed";
        EXPECT_TRUE(boxes.messages.empty());
        Settle(view);
        doc->OnCloseDocument();
    }
}

// Shift held for a key that brings a message box and let go while the box has the focus: the
// keys after the box are plain keys, so T hides the tracks and keeps them.
TEST(VectorFieldCommands, ShiftLetGoInAMessageBoxLeavesTheKeysAfterItPlain)
{
    const struct
    {
        const char* name;
        bool fixedPointsFirst; // known without a saddle: M says so at once
        Qt::Key key;
        QMessageBox::StandardButton answer;
        const char* box;
    } cases[] = {
        {"Shift+M without a saddle", true, Qt::Key_M, QMessageBox::Ok, "No saddle points"},
        {"Shift+F asking for the nullclines", false, Qt::Key_F, QMessageBox::Yes,
         "Fixed points are not available"},
    };
    for (UINT type : {IDR_SYS1TYPE, IDR_SYS2TYPE})
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (type == IDR_SYS1TYPE ? " newtonian" : " two"));
            CDynSys* doc = nullptr;
            L* view = OpenVectorField<L>(type, doc); // a damped spring: no saddle
            ASSERT_NE(view, nullptr);
            if (c.fixedPointsFirst) {
                MessageRecorder yes({msgbox::IDYES});
                Click(view->Button(L::kLayerF, false));
                ASSERT_TRUE(view->Valid(L::kLayerF));
            }
            view->CalcTracks();
            ASSERT_EQ(view->Plane().Tracks().size(), 1u);
            ASSERT_TRUE(view->Shown(L::kLayerT));
            {
                ShownMessageBoxes shown;
                std::string text;
                ModalDriver driver({[&](QDialog* d) {
                    auto* box = qobject_cast<QMessageBox*>(d);
                    if (!box)
                        return Reject(d);
                    text = box->text().toStdString();
                    QTest::keyRelease(box, c.key, Qt::ShiftModifier);
                    QTest::keyRelease(box, Qt::Key_Shift);
                    QTest::mouseClick(box->button(c.answer), Qt::LeftButton);
                }});
                QTest::keyPress(view->GetWidget(), Qt::Key_Shift);
                QTest::keyPress(view->GetWidget(), c.key, Qt::ShiftModifier);
                QCoreApplication::processEvents();
                ASSERT_TRUE(driver.Done());
                EXPECT_EQ(text.rfind(c.box, 0), 0u) << text;
            }
            Key(view, 'T');
            EXPECT_EQ(view->Plane().Tracks().size(), 1u) << "T deletes no track";
            EXPECT_FALSE(view->Shown(L::kLayerT)) << "T hides the tracks";
            Key(view, 'N');
            Key(view, 'N');
            EXPECT_FALSE(view->Shown(L::kLayerN)) << "N twice shows and hides";
            doc->OnCloseDocument();
        }
}

// In the one-variable view a click that drew no band leaves the picture as it was: no crosshair.
TEST(VectorFieldCommands, OneVariableClickWithoutADragMarksNothing)
{
    CDynSys* doc = nullptr;
    auto* view = OpenVectorField<CSys1NNVF>(IDR_SYS1NNTYPE, doc);
    ASSERT_NE(view, nullptr);
    Settle(view);
    const QImage before = view->GetWidget()->grab().toImage();
    const QPoint at((view->m_rcPlot.left + 2 * view->m_rcPlot.right) / 3,
                    (view->m_rcPlot.top + view->m_rcPlot.bottom) / 3);
    QTest::mouseClick(view->GetWidget(), Qt::LeftButton, {}, at);
    QCoreApplication::processEvents();
    EXPECT_FALSE(view->m_bBanding);
    EXPECT_EQ(view->m_bCrossDrawn, 0);
    EXPECT_TRUE(view->GetWidget()->grab().toImage() == before);
    EXPECT_FALSE(doc->IsModified());
    doc->OnCloseDocument();
}

TEST(VectorFieldCommands, RunGreysTheControlsAndItsEndRestoresThem)
{
    for (const KindCase& k : kKinds) {
        SCOPED_TRACE(k.viewClass);
        CDynSys* doc = nullptr;
        CVectorFieldBase* view = OpenVectorField(k.type, doc);
        ASSERT_NE(view, nullptr);
        doc->m_dRunTimeLimit = 1e7; // runs until stopped
        doc->m_bPlotConcurrent = 1;
        ASSERT_TRUE(Choose(ID_CONTROLS_RUN));
        ASSERT_TRUE(doc->m_bRunning);
        ASSERT_TRUE(Pump([view] { return !view->m_editParam.IsWindowEnabled(); }));
        EXPECT_FALSE(view->m_spinCtrl.IsWindowEnabled());
        if (auto* plane = dynamic_cast<L*>(view)) {
            EXPECT_FALSE(plane->Button(L::kLayerD, false).IsWindowEnabled());
        }
        EXPECT_FALSE(Offered(ID_CONTROLS_CLEARDATA));
        ASSERT_TRUE(Choose(ID_CONTROLS_STOP));
        ASSERT_TRUE(Pump([doc] { return !doc->m_bRunning; }));
        EXPECT_TRUE(view->m_editParam.IsWindowEnabled()) << "the run's end restores them";
        EXPECT_TRUE(view->m_spinCtrl.IsWindowEnabled());
        doc->OnCloseDocument();
    }
}
// Controls/Set Limits captions each field with its key; the Newtonian absolute x' limits are
// keyed by y.
TEST(VectorFieldCommands, SetLimitsCaptionsItsFieldsByTheirKeys)
{
    const char* const captions[] = {
        "Minimum x (vfxlo)|Maximum x (vfxhi)|Minimum x' (vfx'lo)|Maximum x' (vfx'hi)|"
        "Minimum x (vfaxlo)|Maximum x (vfaxhi)|Minimum x' (vfaylo)|Maximum x' (vfayhi)",
        "Minimum x (1dxlo)|Maximum x (1dxhi)|Minimum x' (1dx'lo)|Maximum x' (1dx'hi)|"
        "Minimum x (1daxlo)|Maximum x (1daxhi)|Minimum x' (1dax'lo)|Maximum x' (1dax'hi)",
        "Minimum x (vfxlo)|Maximum x (vfxhi)|Minimum y (vfylo)|Maximum y (vfyhi)|"
        "Minimum x (vfaxlo)|Maximum x (vfaxhi)|Minimum y (vfaylo)|Maximum y (vfayhi)"};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(kKinds[i].viewClass);
        CDynSys* doc = nullptr;
        ASSERT_NE(OpenVectorField(kKinds[i].type, doc), nullptr);
        std::string labels;
        ModalDriver driver({[&labels](QDialog* d) {
            if (auto* dlg = dynamic_cast<C2DViewLimDlg*>(CWnd::FromWidget(d)))
                for (const std::string* l :
                     {&dlg->m_strHMinLabel, &dlg->m_strHMaxLabel, &dlg->m_strVMinLabel,
                      &dlg->m_strVMaxLabel, &dlg->m_strHAbsMinLabel, &dlg->m_strHAbsMaxLabel,
                      &dlg->m_strVAbsMinLabel, &dlg->m_strVAbsMaxLabel})
                    labels += (labels.empty() ? "" : "|") + *l;
            Reject(d);
        }});
        ASSERT_TRUE(Choose(ID_CONTROLS_SET_LIMITS));
        ASSERT_TRUE(driver.Done());
        EXPECT_EQ(labels, captions[i]);
        EXPECT_FALSE(doc->IsModified());
        doc->OnCloseDocument();
    }
}
#endif
