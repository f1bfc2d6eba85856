#include "views/phase/BasinsRun.h"

#include <vector>

// The scan's reports, from its workers (several at once).
class CBasinsRun::Sink final : public IBasinsSink
{
public:
    Sink(CViewCalc::Job& job, CHandOver<Row>& rows) : m_job(job), m_rows(rows) {}
    bool ShouldStop() override { return m_job.ShouldStop(); }
    void RowDone(int py, int px0, int step, int count) override
    {
        m_rows.Add({py, px0, step, count});
        m_job.Ready();
    }
    void ProgressStep() override
    {
        m_job.Step();
        m_job.Ready();
    }

private:
    CViewCalc::Job& m_job;
    CHandOver<Row>& m_rows;
};

CBasinsRun::CBasinsRun(Handlers handlers)
    : m_calc({std::move(handlers.rows), std::move(handlers.done)})
{
}

CBasinsRun::~CBasinsRun()
{
    m_calc.Stop();
}

void CBasinsRun::Start(const CBasinsParams& params)
{
    m_calc.Stop();
    m_rows.TakeAll(); // the rows of the scan before
    auto scan = std::make_shared<CBasinsScan>(params);
    m_pScan = scan;
    m_calc.Start([this, scan](CViewCalc::Job& job) {
        Sink sink(job, m_rows);
        scan->Run(sink);
    });
}

void CBasinsRun::TakeRows(const RowPainter& paint)
{
    if (!m_pScan)
        return;
    std::vector<COLORREF> colors;
    for (const Row& r : m_rows.TakeAll()) {
        colors.resize(static_cast<std::size_t>(r.count));
        for (int k = 0; k < r.count; ++k)
            colors[static_cast<std::size_t>(k)] = m_pScan->Pixel(r.px0 + k * r.step, r.py);
        paint(r.py, r.px0, r.step, r.count, colors.data());
    }
}
