#pragma once
// The basins scan: every start point of the plot is integrated for Depth steps and its pixel
// coloured by where x ends up. Start points are independent: each pixel starts from its own
// state and derivative, so the picture does not depend on the order of the scan or on the
// number of workers. The scan is progressive (one pixel in every B by B block first, then the
// other positions of the blocks) and runs on several worker threads, each with a field and a
// parser copy of its own; results are stored by pixel.
//
// Threads: Run blocks its caller while the workers run. The workers read only the scan's
// parameters, which own their copy of the model's parser, and their own field; each writes
// only the grid entries of its own pixels.
// The sink is called from the workers, several at once: ShouldStop, ProgressStep and RowDone
// must be safe for that. A row reported by RowDone may be read from the grid from then on.
#include "model/phase/PlaneField.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

struct CBasinsParams
{
    // The model. Its parser (the document's, which the user may change during a scan) is read
    // only by SetModel; the scan's own copy of it, with the equations recorded, is `parser`,
    // and each worker copies that.
    CPlaneModel model;
    std::shared_ptr<const CParser> parser;
    // Takes the model and copies its parser now, on the caller's thread.
    void SetModel(const CPlaneModel& m);

    int integrator = 1; // 0 first order (semi-implicit Euler), otherwise the fifth-order step
    int depth = 0;
    int block = 1; // B, the block of the progressive scan
    // The plot rectangle; the right and bottom edges belong to the scan. A one-variable scan
    // covers only the band of 16 rows at the top (the start point does not depend on the row).
    int left = 0, top = 0, right = 0, bottom = 0;
    double scaleX = 0, scaleY = 0, xmin = 0, ymax = 0; // world units per pixel; left, top edge
    // Delayed variables: X: (and Y:) read x (y) of delay + 1 steps earlier once there are.
    bool delayed = false;
    int xDelay = 1, yDelay = 1;
    int threads = 0; // 0: one per processor
};

class IBasinsSink
{
public:
    virtual ~IBasinsSink() = default;
    virtual bool ShouldStop() { return false; }
    // Pixels (px0 + k * step, py), k < count, are in the grid: a row of a pass, or a piece of it.
    virtual void RowDone(int /*py*/, int /*px0*/, int /*step*/, int /*count*/) {}
    // About thirty times per full scan.
    virtual void ProgressStep() {}
};

// The colour of a final x against the bands of the plot's x range [xmin, xmin + range]: dark
// blue left of the plot, through cyan, green and yellow, to dark red right of it. A final x
// that is not a number is black.
COLORREF BasinColorBand(double x, double xmin, double range);

class CBasinsScan
{
public:
    static constexpr COLORREF kNoPixel = 0xFF000000; // not computed (the scan was stopped)

    // Params whose model still names a parser (not set by SetModel) get their copy here. Throws
    // std::bad_alloc when the grid, as large as the plot, cannot be had.
    explicit CBasinsScan(const CBasinsParams& params);

    // The whole scan; returns when every pixel is stored or the sink asked to stop. A worker
    // that cannot start leaves its share to the others; one that fails (memory runs out) stops
    // the scan, and its exception is thrown here once every worker has ended.
    void Run(IBasinsSink& sink);

    int Columns() const { return m_cols; }
    int Rows() const { return m_rows; }
    COLORREF Pixel(int px, int py) const
    {
        return m_grid[static_cast<std::size_t>(py - m_p.top) * m_cols + (px - m_p.left)];
    }
    const std::vector<COLORREF>& Grid() const { return m_grid; }
    long long Stored() const { return m_stored.load(); }
    bool Stopped() const { return m_stop.load(); }

    // The final x of one start point as the scan computes it, through a copy of the scan's
    // parser.
    double FinalX(double x0, double y0) const;

private:
    template <SystemKind K, int Form> void Work(IBasinsSink& sink);
    template <SystemKind K, int Form>
    bool Integrate(KindRhs& rhs, double& x, double& y, IBasinsSink& sink) const;
    // A unit of work is a chunk of up to kChunk pixels of a row of a pass, so that small scans
    // still split among the workers; a worker is started for every kEvaluationsPerWorker
    // evaluations of the rates (a few milliseconds), so that a small scan is not slower on all
    // cores than on one.
    static constexpr int kChunk = 16;
    static constexpr long long kEvaluationsPerWorker = 100000;
    int ChunksOfRow(int ox) const;
    void UnitAt(long long u, int& py, int& px0, int& count) const;
    // count more pixels stored, with the progress steps they complete.
    void CountStored(int count, IBasinsSink& sink);

    CBasinsParams m_p;
    int m_cols = 0, m_rows = 0, m_bx = 0, m_by = 0;
    double m_dt = 0;
    std::vector<long long> m_passStart; // first unit (chunk of a row of a pass) of each pass
    long long m_units = 0, m_period = 1;
    std::vector<COLORREF> m_grid;
    std::atomic<long long> m_next{0}, m_stored{0};
    mutable std::atomic<bool> m_stop{false};
};
