// The five layers of a Vector Field plane without a window: what the buttons, the keys and a
// track do to the layers shown and computed, which questions and messages they bring, and the
// curves turned off when their points cannot be stored.
#include "views/phase/VectorFieldLayers.h"
#include "common/CurveGrowthLimit.h"
#include "common/DoubleWell.h"
#include "model/core/ModelCore.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {
using L = CVectorFieldLayers;
const CPlaneFrame kFrame{0, 0, 600, 400, -2, 2, -2, 2};

// The models: the double well; a damped spring in the two-variable kind (no saddle); rates
// with no zero anywhere (x'' = 1, or x' = y' = 1).
enum Field
{
    kSaddle,
    kNoSaddle,
    kNoZero
};
constexpr SystemKind kNewtonian = SystemKind::Newtonian;
constexpr SystemKind kTwoVariable = SystemKind::TwoVariable;

// The view's part: the layers' pictures computed as the plot's layers are, the answers given
// ('y' or 'n' in turn), what was said.
class FakeView final : public IVectorFieldHost
{
public:
    FakeView(SystemKind kind, Field field, std::string answers)
        : model(kind), layers(kind, *this), m_answers(std::move(answers))
    {
        model.SetDefaults();
        model.EvaluateParameters();
        SetDoubleWell(model);
        if (field == kNoSaddle)
            SetRates(model, "y", "-x-0.5*y");
        if (field == kNoZero) {
            SetForces(model, "1", "0", "0");
            SetRates(model, "1", "1");
        }
        layers.ModelChanged();
    }
    CModelCore model;
    L layers;
    std::vector<std::string> said;

private:
    enum State : int
    {
        kStale,
        kValid,
        kDeclined
    };
    CModelCore* Model() override { return &model; }
    bool AskYesNo(const char* text) override
    {
        said.push_back(text);
        return m_next < m_answers.size() && m_answers[m_next++] == 'y';
    }
    void Tell(const char* text) override { said.push_back(text); }
    std::unique_ptr<IPassProgress> Progress(const char*) override { return nullptr; }
    void MarkStale(int layer) override { m_states[layer] = kStale; }
    void MarkAllStale() override { m_states.fill(kStale); }
    void ComputeStale() override
    {
        for (int i = 0; i < L::kLayers; ++i)
            if (layers.Shown(i) && m_states[i] == kStale)
                m_states[i] = layers.Compute(i, kFrame) ? kValid : kDeclined;
    }
    bool Computed(int layer) const override { return m_states[layer] == kValid; }
    void InvalidateLegend() override {}
    void RedrawPlot() override {}
    void InvalidateAll() override {}
    void TakeFocus() override {}

    std::array<int, L::kLayers> m_states{kStale, kStale, kStale, kStale, kValid};
    std::string m_answers;
    size_t m_next = 0;
};

std::string Flags(const std::function<bool(int)>& on)
{
    std::string s = "DNFMT";
    for (int i = 0; i < L::kLayers; ++i)
        s[i] = on(i) ? s[i] : '.';
    return s;
}

// Upper case: a key; ^ before it: with Shift; m, r: the Toggle and Recalc buttons of M; t: the
// Recalc button of T; s: a spin step; x: Clear Data; !: curves' points that cannot grow past
// eight (as when memory runs out), or can again.
void Play(L& l, const std::string& script)
{
    std::optional<CurveGrowthLimit> limit;
    for (size_t i = 0; i < script.size(); ++i) {
        const char c = script[i];
        if (c == '!' && limit)
            limit.reset();
        else if (c == '!')
            limit.emplace();
        else if (c == '^')
            l.Key(script[++i], true);
        else if (c >= 'A' && c <= 'Z')
            l.Key(c, false);
        else if (c == 'm' || c == 'r')
            c == 'm' ? l.Toggle(L::kLayerM) : l.Recalc(L::kLayerM);
        else if (c == 't')
            l.Recalc(L::kLayerT);
        else
            c == 's' ? l.Spun() : l.Discard();
    }
}

// The questions and messages said, one letter each (a message repeated once): f, m the fixed
// points' and the manifolds' questions, n no saddles, c and k the nullclines' and the track's
// out of memory.
std::string Said(const std::vector<std::string>& said)
{
    std::string letters;
    const std::string memory = "There is not enough memory on your system\nto save the ";
    for (const std::string& s : said) {
        const char c = s.starts_with("Fixed points are not")      ? 'f'
                       : s.starts_with("Manifolds are not")       ? 'm'
                       : s.starts_with("No saddle points")        ? 'n'
                       : s.starts_with(memory + "nullcline")      ? 'c'
                       : s.starts_with(memory + "previous track") ? 'k'
                                                                  : '?';
        if (letters.empty() || letters.back() != c)
            letters += c;
    }
    return letters;
}
} // namespace

TEST(VectorFieldLayers, ButtonsKeysAndTracks)
{
    const struct
    {
        const char* name;
        // What is done and answered; what is then shown, valid and said.
        const char *script, *answers, *shown, *valid, *said;
        SystemKind kind = kTwoVariable;
        Field field = kSaddle;
        size_t tracks = 0;
    } cases[] = {
        {"D N, tracks shown", "DN", "", "DN..T", "DN..T", ""},
        {"Newtonian tracks hidden", "D", "", "D....", "D....", "", kNewtonian},
        {"F declined", "F", "n", "....T", "....T", "f"},
        {"F agreed computes N unshown", "F", "y", "..F.T", "..F.T", "f"},
        {"F off and on asks once", "FFF", "y", "..F.T", "..F.T", "f"},
        {"F after a spin asks again", "FFsF", "yn", "....T", "....T", "f"},
        {"F after N asks nothing", "NF", "", ".NF.T", ".NF.T", ""},
        {"M agreed", "M", "y", "...M.", "...M.", "m", kNewtonian},
        {"M after a spin asks nothing", "MMsM", "y", "...M.", "...M.", "m", kNewtonian},
        {"Shift+M keeps M shown", "M^M", "y", "...M.", "...M.", "m", kNewtonian},
        {"M button without saddle", "m", "y", "....T", "....T", "mn", kTwoVariable, kNoSaddle},
        {"M key stays shown without saddle", "M", "y", "...MT", "....T", "mn", kTwoVariable,
         kNoSaddle},
        {"M key after F without saddle", "FM", "y", "..F.T", "..F.T", "fn", kTwoVariable,
         kNoSaddle},
        {"Recalc M declined stays hidden", "r", "n", "....T", "....T", "m"},
        {"Recalc M, no saddle, stays hidden", "r", "y", "....T", "....T", "mn", kTwoVariable,
         kNoSaddle},
        {"Shift+N keeps N shown", "N^N", "", ".N..T", ".N..T", ""},
        {"Recalc T adds a track", "t", "", "....T", ".....", "", kNewtonian, kSaddle, 1},
        {"Shift+T deletes the tracks", "t^T", "", "....T", ".....", ""},
        {"T hides the tracks", "T", "", ".....", ".....", ""},
        {"a spin step keeps what is shown", "Dts", "", "D...T", "D...T", "", kTwoVariable, kSaddle,
         1},
        {"Clear Data hides all but T", "DNtx", "", "....T", ".....", ""},
        // Out of memory: a nullcline stays stale and turns nothing off; a track is kept emptied
        // and turns the curves off, so that later tracks and nullclines are not computed; so do
        // manifolds, left empty.
        {"nullclines out of memory", "!N!t", "", ".N..T", "....T", "c", kTwoVariable, kSaddle, 1},
        // The Newtonian pass counts as done, empty: F searches it and asks nothing; the
        // two-variable one is to do again: F asks for it and runs out again.
        {"Newtonian nullclines out of memory, F", "!NF!", "", ".NF..", ".NF..", "c", kNewtonian},
        {"nullclines out of memory, F", "!NF!", "y", ".NF.T", "..F.T", "cfc"},
        {"track out of memory", "!t!t^N", "", ".N..T", "....T", "k", kTwoVariable, kSaddle, 1},
        {"manifolds out of memory", "F!m!t", "y", "..FMT", "..FM.", "fk", kNewtonian},
        // Without a zero the Newtonian x'' = 0 stays to do, looked for again when asked for:
        // each F or Shift+F that computes the fixed points asks for it (a question said twice
        // in a row counts once); the two-variable nullclines are done.
        {"no zero: N", "N", "", ".N...", ".....", "", kNewtonian, kNoZero},
        {"no zero: N, then F", "NF", "y", ".NF..", "..F..", "f", kNewtonian, kNoZero},
        {"no zero: F agreed, then Shift+F", "F^F", "yy", "..F..", "..F..", "f", kNewtonian,
         kNoZero},
        {"no zero: Shift+F declined", "F^F", "yn", ".....", ".....", "f", kNewtonian, kNoZero},
        {"no zero: N, two-variable", "NF", "", ".NF.T", ".NF.T", "", kTwoVariable, kNoZero},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeView v(c.kind, c.field, c.answers);
        Play(v.layers, c.script);
        EXPECT_EQ(Flags([&](int i) { return v.layers.Shown(i); }), c.shown);
        EXPECT_EQ(Flags([&](int i) { return v.layers.Valid(i); }), c.valid);
        EXPECT_EQ(Said(v.said), c.said);
        EXPECT_EQ(v.layers.Plane().Tracks().size(), c.tracks);
    }
}
