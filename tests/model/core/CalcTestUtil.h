#pragma once
// A model prepared for a run, and a sink that counts what a run reports.
#include "model/core/ModelCore.h"
#include "model/core/ModelForms.h"

#include <gtest/gtest.h>

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

// Types a kind's equations: the Newtonian x'' or x', y', z' in turn (a null text keeps one).
inline void TypeEquations(CModelCore& m, std::initializer_list<const char*> texts)
{
    std::string* fields[3] = {&m.m_strXRate, &m.m_strYRate, &m.m_strZRate};
    if (m.Kind() == SystemKind::Newtonian)
        fields[0] = &m.m_strEquation;
    int i = 0;
    for (const char* text : texts)
        if (const int at = i++; text)
            *fields[at] = text;
}

// Types the texts that choosing a built-in form writes (the Newtonian forces and their sum).
inline void TypeFormTexts(CModelCore& m, int form)
{
    const StandardForm& sf = StandardForms(m.Kind())[form - 1];
    const bool newtonian = m.Kind() == SystemKind::Newtonian;
    std::string* texts[3] = {newtonian ? &m.m_strAppliedForce : &m.m_strXRate,
                             newtonian ? &m.m_strRestoringForce : &m.m_strYRate,
                             newtonian ? &m.m_strDragForce : &m.m_strZRate};
    for (int i = 0; i < 3; ++i)
        if (sf.texts[i])
            *texts[i] = sf.texts[i];
    m.m_strEquation = BuildEquation(m.m_strAppliedForce, m.m_strRestoringForce, m.m_strDragForce);
}

// The parameters of a run of the model, prepared as Run prepares them.
inline CALCPARAMS Prepared(CModelCore& m)
{
    CALCPARAMS p;
    bool allocated = false;
    EXPECT_TRUE(m.PrepareRun(p, allocated));
    return p;
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
