#include "CalcTestUtil.h"

#include "model/core/ModelForms.h"
#include "model/core/Steppers.h"

#include <bit>
#include <cstdint>

#include <gtest/gtest.h>

namespace {

// A caller of its own (a track, a manifold) steps a model through the right-hand side with a
// parser copy of its own and gets the run's rows, bit for bit.
TEST(Steppers, StepOnTheirOwnAsTheRunDoes)
{
    const SystemKind kinds[] = {SystemKind::Newtonian, SystemKind::OneVariable,
                                SystemKind::TwoVariable, SystemKind::ThreeVariable};
    for (SystemKind kind : kinds) {
        for (int integrator : {0, 1}) {
            for (int form : {0, 2}) {
                CModelCore m(kind);
                NewModel(m);
                m.m_nIntegrator = integrator;
                m.m_nModelForm = form;
                CParser parser(*m.m_pParser); // recorded equations and parameters
                parser.m_dDT = m.m_dChronon;
                CountingSink sink;
                ASSERT_TRUE(RunModel(m, sink));

                const KindVars& vars = VarsOf(kind);
                const auto& T = m.m_arrTable;
                KindRhs f;
                f.kind = kind;
                f.form = form;
                f.params = {m.m_dParamA, m.m_dParamB,  m.m_dParamC,
                            m.m_dParamD, m.m_dAngFreq, m.m_dPhase};
                f.mass = m.m_dMass;
                f.parser = &parser;
                KindState s{T[kSlotT][0]};
                double rate[3];
                for (int i = 0; i < vars.dim; ++i) {
                    s.u[i] = T[vars.state[i]][0];
                    rate[i] = T[vars.rate[i]][0];
                }
                for (int row = 1; row <= 20; ++row) {
                    if (integrator == 0)
                        StepEuler(f, s, rate, m.m_dChronon);
                    else
                        StepRKF(f, s, m.m_dChronon);
                    for (int i = 0; i < vars.dim; ++i)
                        ASSERT_EQ(std::bit_cast<std::uint64_t>(s.u[i]),
                                  std::bit_cast<std::uint64_t>(T[vars.state[i]][row]))
                            << "kind " << static_cast<int>(kind) << " integrator " << integrator
                            << " form " << form << " row " << row << " variable " << i;
                }
            }
        }
    }
}

// The rates of a kind at once and one by one agree, and a built-in form gives the rates of
// the texts that choosing it writes, at any state.
TEST(KindRates, AllAtOnceAndFormsAgreeWithTheTypedEquations)
{
    const SystemKind kinds[] = {SystemKind::Newtonian, SystemKind::OneVariable,
                                SystemKind::TwoVariable, SystemKind::ThreeVariable};
    for (SystemKind kind : kinds) {
        for (int form = 1; form <= static_cast<int>(StandardForms(kind).size()); ++form) {
            const StandardForm& sf = StandardForms(kind)[form - 1];
            CModelCore m(kind);
            m.SetDefaults();
            TypeFormTexts(m, form);
            m.m_strParamD = "0.5";
            m.EvaluateParameters();
            ASSERT_TRUE(m.CompileEquations());
            const KindState at{0.7, {0.3, -1.2, 2.5}};
            CParser parser(*m.m_pParser);
            parser.m_dDT = 0.25;
            KindRhs typed;
            typed.kind = kind;
            typed.parser = &parser;
            typed.tStep = at.t;
            typed.hStep = parser.m_dDT;
            KindRhs builtIn = typed;
            builtIn.form = form;
            builtIn.params = {m.m_dParamA, m.m_dParamB,  m.m_dParamC,
                              m.m_dParamD, m.m_dAngFreq, m.m_dPhase};
            double a[3] = {}, b[3] = {};
            KindRates(typed, at, a);
            KindRates(builtIn, at, b);
            for (int i = 0; i < VarsOf(kind).dim; ++i) {
                EXPECT_EQ(a[i], b[i]) << sf.name << " rate " << i;
                EXPECT_EQ(KindRate(typed, i, at), a[i]) << sf.name << " rate " << i;
                EXPECT_EQ(KindRate(builtIn, i, at), b[i]) << sf.name << " rate " << i;
            }
        }
    }
}

} // namespace
