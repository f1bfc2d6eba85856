#pragma once
// A model prepared for a run, and a sink that counts what a run reports.
#include "model/core/ModelCore.h"

#include <utility>
#include <vector>

struct CountingSink : ICalcSink
{
    int rows = 0, progress = 0, done = 0, polls = 0;
    int stopAfterPolls = -1; // -1: never stop
    int doneIndex = -1;
    RowCount doneCount = -1;
    std::vector<std::pair<int, RowCount>> stored; // (index, rows before) of each reported row

    bool ShouldStop() override { return stopAfterPolls >= 0 && ++polls > stopAfterPolls; }
    void RowStored(int nIndex, RowCount nCount) override
    {
        ++rows;
        stored.emplace_back(nIndex, nCount);
    }
    void ProgressStep() override { ++progress; }
    void Done(int nIndex, RowCount nCount) override
    {
        ++done;
        doneIndex = nIndex;
        doneCount = nCount;
    }
};

// A model of a kind with its defaults, parameters evaluated and equations compiled, as a new
// document has them.
inline void NewModel(CModelCore& m)
{
    m.SetDefaults();
    m.AllocateTable();
    m.EvaluateParameters();
    m.CompileEquations();
}

// Prepares and runs the model to its run time limit (or until the sink stops it) and takes
// the results as the document does; returns the run object.
inline std::unique_ptr<CTrajectoryCalc> RunModel(CModelCore& m, CountingSink& sink)
{
    CALCPARAMS p;
    bool allocated = false;
    if (!m.PrepareRun(p, allocated))
        return nullptr;
    auto calc = std::make_unique<CTrajectoryCalc>(p);
    calc->Run(sink);
    m.TakeRunResults(*calc, sink.doneIndex, sink.doneCount);
    return calc;
}
