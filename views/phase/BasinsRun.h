#pragma once
// CBasinsRun: the basins scan of one view, on a calculation that the view owns (CViewCalc).
// The scan runs on all cores; the worker never waits for the user-interface thread: it counts
// its progress, and each finished row is handed over (its place in the scan's grid) and
// announced, coalesced to about thirty a second. The view takes the rows on the user-interface
// thread and paints them.
//
// What the worker touches: the scan (its own copy of the parameters and of the model's parser,
// and its grid), the hand-over of rows, the stop flag and the progress counter. The scan of
// a run lives until the next Start or the wrapper's end, both of which join the worker first,
// so the rows handed over may be read from its grid meanwhile.
#include "model/phase/BasinsScan.h"
#include "views/base/ViewCalc.h"

#include <functional>
#include <memory>

class CBasinsRun
{
public:
    struct Handlers
    {
        std::function<void()> rows; // rows finished (paced)
        std::function<void()> done; // the scan ended (completed or stopped) and was joined
    };
    // Pixels (px0 + k * step, py), k < count, with their colours.
    using RowPainter = std::function<void(int py, int px0, int step, int count, const COLORREF*)>;

    explicit CBasinsRun(Handlers handlers);
    ~CBasinsRun();

    // Joins the scan before, forgets its rows and starts a scan of params. Throws
    // std::system_error when the thread cannot be made (nothing runs then).
    void Start(const CBasinsParams& params);
    // Asks the scan to stop; its done handler follows.
    void RequestStop() { m_calc.RequestStop(); }
    // Stops and joins the scan; its handlers never run afterwards.
    void Stop() { m_calc.Stop(); }
    bool Running() const { return m_calc.Running(); }
    // Progress steps so far (about thirty per scan).
    long long Progress() const { return m_calc.Progress(); }

    // Hands every row finished since the last call to paint, in the order they finished.
    void TakeRows(const RowPainter& paint);

private:
    struct Row
    {
        int py, px0, step, count;
    };
    class Sink;

    CHandOver<Row> m_rows;
    std::shared_ptr<CBasinsScan> m_pScan; // the scan whose rows are handed over
    CViewCalc m_calc;                     // last: joined before the rest goes
};
