// Data files of a 1,000,000-row three-variable table (a Lorenz run): the export as the export
// thread writes it (copy of the rows, text of every value, CR LF lines) and the import of that
// file, beside the same rows written with a C stream at "%.6g" and read back with fscanf, as a
// person would write them by hand.
#include "LorenzModel.h"
#include "model/files/DataExport.h"
#include "model/files/DataImport.h"
#include "model/core/ModelCore.h"
#include "platform/base/MessageHook.h"

#include <benchmark/benchmark.h>

#include <sys/stat.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

constexpr int kRows = 1000000;

struct DoneSink : ICalcSink
{
    int index = 0;
    RowCount count = 0;
    void Done(int nIndex, RowCount nCount) override
    {
        index = nIndex;
        count = nCount;
    }
};

// The three-variable model after a Lorenz run that fills the table once.
CModelCore& Lorenz()
{
    static std::unique_ptr<CModelCore> m = [] {
        SetMessageBoxHook([](const std::string&, unsigned) { return msgbox::IDNO; });
        auto p = std::make_unique<CModelCore>(SystemKind::ThreeVariable);
        p->SetDefaults();
        TypeLorenz(*p);
        p->m_nChrononsPerCycle = 1000;
        p->m_nTableRows = kRows;
        ComputeDerivedValues(*p, SystemKind::ThreeVariable);
        p->m_dRunTimeLimit = (kRows - 1.5) * p->m_dChronon;
        p->AllocateTable();
        p->EvaluateParameters();
        p->CompileEquations();
        CALCPARAMS params;
        bool allocated = false;
        p->PrepareRun(params, allocated);
        CTrajectoryCalc calc(params);
        DoneSink sink;
        calc.Run(sink);
        p->TakeRunResults(calc, sink.index, sink.count);
        return p;
    }();
    return *m;
}

std::string PathOf(const char* name)
{
    return std::string("/tmp/veltrix-bench-") + name;
}

long long FileSize(const std::string& path)
{
    struct stat st = {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_size : 0;
}

void Report(benchmark::State& state, const std::string& path, long long rows)
{
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["MB"] = static_cast<double>(FileSize(path)) / 1e6;
}

void BM_ExportMillionRows(benchmark::State& state)
{
    const CModelCore& m = Lorenz();
    const std::string path = PathOf("export.d3d");
    ExportResult r;
    for (auto _ : state) {
        EXPORTPARAMS p;
        MakeExportParams(m, path, p);
        r = WriteDataFile(p, std::atomic<bool>(false), {});
        benchmark::DoNotOptimize(r);
    }
    if (!r.ok)
        state.SkipWithError(r.strError.c_str());
    Report(state, path, r.nRowsWritten);
}
BENCHMARK(BM_ExportMillionRows)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same seven values a row, written one row a call with fprintf.
void BM_ExportMillionRowsFprintf(benchmark::State& state)
{
    const CModelCore& m = Lorenz();
    const std::string path = PathOf("fprintf.txt");
    const int slots[] = {kSlotT, kSlotX, kSlotY, kSlotZ, kSlotXp, kSlotYp, kSlotZp};
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        const auto& t = m.m_arrTable;
        for (int r = 0; r < kRows; ++r)
            std::fprintf(f, " %.6g %.6g %.6g %.6g %.6g %.6g %.6g\r\n", t[slots[0]][r],
                         t[slots[1]][r], t[slots[2]][r], t[slots[3]][r], t[slots[4]][r],
                         t[slots[5]][r], t[slots[6]][r]);
        std::fclose(f);
    }
    Report(state, path, kRows);
}
BENCHMARK(BM_ExportMillionRowsFprintf)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ImportMillionRows(benchmark::State& state)
{
    const CModelCore& m = Lorenz();
    const std::string path = PathOf("import.d3d");
    EXPORTPARAMS p;
    MakeExportParams(m, path, p);
    WriteDataFile(p, std::atomic<bool>(false), {});
    int rows = 0;
    for (auto _ : state) {
        CModelCore back(SystemKind::ThreeVariable);
        back.SetDefaults();
        std::FILE* f = std::fopen(path.c_str(), "rb");
        CDataLineReader reader(f);
        ImportDataFile(back, reader, FileSize(path), path);
        std::fclose(f);
        rows = back.m_nImportRows;
        benchmark::DoNotOptimize(back.m_arrImport[kSlotZ].data());
    }
    Report(state, path, rows);
}
BENCHMARK(BM_ImportMillionRows)->Unit(benchmark::kMillisecond)->Iterations(3);

// The file of the fprintf baseline read back with fscanf into seven growing columns.
void BM_ImportMillionRowsFscanf(benchmark::State& state)
{
    const std::string path = PathOf("fprintf.txt");
    int rows = 0;
    for (auto _ : state) {
        std::vector<double> cols[7];
        std::FILE* f = std::fopen(path.c_str(), "rb");
        double v[7];
        while (std::fscanf(f, "%lf %lf %lf %lf %lf %lf %lf", &v[0], &v[1], &v[2], &v[3], &v[4],
                           &v[5], &v[6]) == 7)
            for (int i = 0; i < 7; ++i)
                cols[i].push_back(v[i]);
        std::fclose(f);
        rows = static_cast<int>(cols[0].size());
        benchmark::DoNotOptimize(cols[6].data());
    }
    Report(state, path, rows);
}
BENCHMARK(BM_ImportMillionRowsFscanf)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
