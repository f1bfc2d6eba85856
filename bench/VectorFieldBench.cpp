// A spin step of the Vector Field views on a 1200 by 900 plot: the shown layers computed again
// (every layer of the Newtonian and two-variable planes: direction field, nullclines, fixed
// points, manifolds, and one track kept; the one-variable phase line), and the repaint that
// follows, measured apart and together. The default models of each kind and the double well
// x'' = b x - x^3 - 0.5 x' (b = 1) as the Newtonian and the two-variable kind write it.
#include "common/MessageRecorder.h"
#include "views/ViewHarness.h"
#include "views/phase/VectorField1View.h"
#include "views/phase/VectorFieldView.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

enum Model : int
{
    kNewtonianDefault,
    kNewtonianWell,
    kTwoVariableDefault,
    kTwoVariableWell,
    kOneVariableDefault,
};

SystemKind KindOf(int model)
{
    return model <= kNewtonianWell        ? SystemKind::Newtonian
           : model == kOneVariableDefault ? SystemKind::OneVariable
                                          : SystemKind::TwoVariable;
}

class SpinHarness : public KindViewHarness<CVectorFieldBase>
{
public:
    explicit SpinHarness(int model) : KindViewHarness(KindOf(model))
    {
        if (model == kNewtonianWell) {
            doc->m_strAppliedForce =
                std::string(1, '0'); // a one-letter literal trips GCC 12's -Wrestrict
            doc->m_strRestoringForce = "b*x-x^3";
            doc->m_strDragForce = "-0.5*x'";
        } else if (model == kTwoVariableWell) {
            doc->m_strXRate = std::string(1, 'y');
            doc->m_strYRate = "b*x-x^3-0.5*y";
        }
        if (model == kNewtonianWell || model == kTwoVariableWell) {
            doc->m_nModelForm = 0;
            doc->m_dVFMin1 = doc->m_dVFMin2 = -2;
            doc->m_dVFMax1 = doc->m_dVFMax2 = 2;
            doc->m_nSpinParam = kSpinB;
        }
        doc->RecordEquations();
        Open(NewKindView<CVectorFieldBase, CSys1VF, CSys1NNVF, CSys2VF, CSys2VF>(KindOf(model)),
             1300, 1000);
        // The window whose plot is 1200 by 900.
        for (int i = 0; i < 3 && !PlotIsFull(); ++i) {
            Repaint();
            CRect client;
            view->GetClientRect(&client);
            const CRect p = view->m_rcPlot;
            view->MoveWindow(
                CRect(0, 0, client.Width() + 1200 - p.Width(), client.Height() + 900 - p.Height()));
            Repaint();
        }
        if (auto* plane = dynamic_cast<CVectorFieldView*>(view)) {
            MessageRecorder yes({msgbox::IDYES, msgbox::IDYES});
            for (int layer = CVectorFieldView::kLayerD; layer <= CVectorFieldView::kLayerM; ++layer)
                plane->OnToggle(layer);
            plane->CalcTracks();
        }
        for (int i = 0; i < 3; ++i)
            Repaint();
    }
    // One step of the up-down control, alternately up and down.
    void Step()
    {
        m_bUp = !m_bUp;
        view->m_editBuddy.SetWindowText(m_bUp ? "51" : "50");
    }
    bool PlotIsFull() const
    {
        return view->m_rcPlot.Width() == 1200 && view->m_rcPlot.Height() == 900;
    }

private:
    bool m_bUp = false;
};

void Report(benchmark::State& state, const SpinHarness& h)
{
    if (!h.PlotIsFull())
        state.SkipWithError("the plot is not 1200 by 900");
    if (auto* plane = dynamic_cast<const CVectorFieldView*>(h.view))
        state.counters["fixed points"] = static_cast<double>(plane->Plane().FixedPoints().size());
}

// The shown layers computed again, as a spin step does before it invalidates the plot.
void BM_VectorFieldSpinCompute(benchmark::State& state)
{
    SpinHarness h(static_cast<int>(state.range(0)));
    for (auto _ : state)
        h.Step();
    Report(state, h);
}

// The repaint of the view with its layers computed.
void BM_VectorFieldSpinPaint(benchmark::State& state)
{
    SpinHarness h(static_cast<int>(state.range(0)));
    for (auto _ : state)
        h.view->RedrawWindow();
    Report(state, h);
}

// Both: what one click of the up-down control costs until the picture is on the screen.
void BM_VectorFieldSpinStep(benchmark::State& state)
{
    SpinHarness h(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        h.Step();
        h.view->UpdateWindow();
    }
    Report(state, h);
}

void Models(benchmark::internal::Benchmark* b)
{
    b->ArgNames({"model"});
    for (int m = kNewtonianDefault; m <= kOneVariableDefault; ++m)
        b->Arg(m);
    b->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_VectorFieldSpinCompute)->Apply(Models);
BENCHMARK(BM_VectorFieldSpinPaint)->Apply(Models);
BENCHMARK(BM_VectorFieldSpinStep)->Apply(Models);

} // namespace
