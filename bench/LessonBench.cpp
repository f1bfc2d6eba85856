// Loading a lesson whose one paragraph changes its formatting at every word, as a lesson
// pasted from another word processor may: the time grows with the number of runs, not with
// its square (compare the times at 20,000 and 40,000 runs).
#include "app/Rtf.h"

#include <QAbstractTextDocumentLayout>
#include <QTextDocument>
#include <benchmark/benchmark.h>

#include <string>

namespace {

// One paragraph of n runs, bold and plain by turns; about 2.5 bytes a run.
std::string OneParagraphOfRuns(int n)
{
    std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Liberation Sans;}}\\f0\\fs24 ";
    for (int i = 0; i < n; ++i)
        rtf += i % 2 ? "\\b0 w" : "\\b w";
    return rtf + "\\par}";
}

void BM_LessonLoadOneParagraph(benchmark::State& state)
{
    const std::string rtf = OneParagraphOfRuns(int(state.range(0)));
    for (auto _ : state) {
        QTextDocument doc;
        doc.documentLayout(); // laid out as in the lesson's window
        RtfToDocument(rtf, doc);
        benchmark::DoNotOptimize(doc.characterCount());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LessonLoadOneParagraph)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(40000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

} // namespace
