#pragma once
// The texts that the plots of a model write around their plot alike: the initial values and the
// time base ("Chro/Cyc = ", "dt =") in the left margin, the equations with the parameters they
// use centred above the plot, and the imported file's name at the bottom left in the imported
// data's colour. Each routine draws in the DC's current font; the left margin's texts read
// upwards in the views that have them.
#include "model/core/ModelSettings.h"
#include "views/rows/PlotGeometry.h"

#include <string>
#include <vector>

class CDC;
class CModelCore;

// The labels of a kind's equations ("x' = " ...).
struct KindMarginLabels
{
    std::vector<const char*> equations;
};
const KindMarginLabels& MarginLabels(SystemKind kind);
// The views that write a kind's initial values alike: the graph, the orbit and vector-field
// planes, and the orbit views in space. Each writes "Initial x =" either against the number or
// with a blank before it, by kind.
enum class InitialLabels
{
    Graph,
    Plane,
    Space,
};
// "Initial x =" ... of the kind's start values, in the order of InitialValues.
std::vector<std::string> InitialValueLabels(SystemKind kind, InitialLabels family);
// The start values of what the kind integrates, in the order of the labels.
std::vector<double> InitialValues(SystemKind kind, const CModelSettings& s);

// At three quarters of the plot's height, one text height apart from the left edge: the initial
// values, x with digitsX and the others with digitsY.
void DrawInitialValues(CDC* pDC, const CPlotPage& page, SystemKind kind, InitialLabels family,
                       const CModelSettings& s, int digitsX, int digitsY);
// The same with other values under the kind's labels (a vector field's track start point).
void DrawInitialValues(CDC* pDC, const CPlotPage& page, SystemKind kind, InitialLabels family,
                       const std::vector<double>& values, int digitsX, int digitsY);
// At a quarter of the plot's height: chronons per cycle, and dt with digitsDt beside it.
void DrawTimeBase(CDC* pDC, const CPlotPage& page, int chrononsPerCycle, double dt, int digitsDt);
// Over the plot from the window's top: one line per equation, then the parameters they use.
void DrawEquations(CDC* pDC, const CPlotPage& page, SystemKind kind, const CModelCore& s);
// With imported data, its file's name on the imported data's colour (or back) at the bottom
// left corner.
void DrawImportName(CDC* pDC, const CPlotPage& page, const CModelCore& s);
void DrawImportName(CDC* pDC, const CPlotPage& page, const CModelCore& s, COLORREF back);
