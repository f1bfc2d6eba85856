// Entry of the display-free benchmarks: threads and malloc set up as the program sets them, so
// that runs, scans and files are measured as the program does them.
#include "platform/base/ThreadMemory.h"

#include <benchmark/benchmark.h>

int main(int argc, char** argv)
{
    KeepThreadsSmall();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
