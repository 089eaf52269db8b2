#include "calc/engine/CandidateRunner.h"

#include "platform/Services.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace arv {

namespace {

void CopyGrid(const TModGrid& from, TModGrid& to) {
    to.SetColCount(from.ColCount());
    to.SetRowCount(from.RowCount());
    to.SetFixedRows(from.FixedRows());
    to.SetFixedCols(from.FixedCols());
    const int cols = std::max(from.ColCount(), from.LastFilledCol() + 1);
    const int rows = std::max(from.RowCount(), from.LastFilledRow() + 1);
    to.BeginUpdate();
    for (int r = 0; r < rows; ++r)
        for (int col = 0; col < cols; ++col) to.SetCells(col, r, from.Cells(col, r));
    to.EndUpdate();
    to.SetCurrent(from.Col(), from.Row());
}

// A helper thread's own network: what the preparation reads and writes.
struct TWorker {
    TCalcContext c;
    TNetworkTables t{c};
    std::thread thread;
    TWorker(const TNetworkTables& from, const TCalcContext& calc) : c(calc) {
        CopyGrid(from.TablDan, t.TablDan);
        CopyGrid(from.TablVen, t.TablVen);
        CopyGrid(from.TablDavl, t.TablDavl);
        t.UzPov = from.UzPov;
    }
};

enum : int { Pending = 0, Finished = 1, Replay = 2 };

struct TSlot {
    std::atomic<int> state{Pending};
    TCandidateLines lines;
};

class TRowSteps {
public:
    TRowSteps(const TNetworkTables& t, ISummaryProgress& p) : t_(t), p_(p) {}
    void Through(int row) {
        for (; next_ <= row && next_ < t_.TablDan.RowCount(); ++next_) p_.Step();
    }
    void ToEnd() { Through(t_.TablDan.RowCount() - 1); }

private:
    const TNetworkTables& t_;
    ISummaryProgress& p_;
    int next_ = FirstDataRow;
};

} // namespace

TSummaryResult RunCandidates(TNetworkTables& t, TCalcContext& c,
                             const std::vector<TCandidate>& candidates, const TCandidateWork& work,
                             const std::function<void(const TCandidateLines&)>& merge,
                             ISummaryProgress& progress, int threads) {
    TRowSteps steps(t, progress);
    const size_t count = candidates.size();
    if (threads <= 0) threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const size_t helpers = std::min(static_cast<size_t>(threads), count);

    size_t merged = 0;
    if (helpers > 1) {
        std::vector<TSlot> slots(count);
        std::atomic<size_t> next{0};
        std::atomic<bool> stop{false};
        std::mutex mutex;
        std::condition_variable finished;
        std::vector<std::unique_ptr<TWorker>> workers;
        for (size_t k = 0; k < helpers; ++k) workers.push_back(std::make_unique<TWorker>(t, c));
        for (auto& w : workers) {
            TWorker* self = w.get();
            self->thread = std::thread([&, self] {
                while (!stop.load()) {
                    const size_t i = next.fetch_add(1);
                    if (i >= count) break;
                    bool ok = false;
                    int suppressed = 0;
                    {
                        TQuietThread quiet;
                        try {
                            ok = work(self->t, self->c, candidates[i], slots[i].lines);
                        } catch (...) {
                            ok = false;
                        }
                        suppressed = quiet.Suppressed();
                    }
                    {
                        std::lock_guard<std::mutex> lock(mutex);
                        slots[i].state = ok && suppressed == 0 ? Finished : Replay;
                    }
                    finished.notify_all();
                }
            });
        }
        auto stopAll = [&] {
            stop = true;
            for (auto& w : workers)
                if (w->thread.joinable()) w->thread.join();
        };
        bool replay = false;
        while (merged < count && !replay) {
            {
                std::unique_lock<std::mutex> lock(mutex);
                finished.wait_for(lock, std::chrono::milliseconds(50),
                                  [&] { return slots[merged].state.load() != Pending; });
            }
            while (merged < count && slots[merged].state.load() == Finished) {
                steps.Through(candidates[merged].Row);
                merge(slots[merged].lines);
                ++merged;
            }
            if (merged < count && slots[merged].state.load() == Replay) replay = true;
            if (progress.Cancelled()) {
                stopAll();
                return TSummaryResult::Cancelled;
            }
        }
        stopAll();
        if (merged == count) {
            // The arrays end as a serial run leaves them.
            TCandidateLines last;
            TQuietThread quiet;
            work(t, c, candidates.back(), last);
        }
    }
    for (; merged < count; ++merged) {
        steps.Through(candidates[merged].Row);
        if (progress.Cancelled()) return TSummaryResult::Cancelled;
        TCandidateLines lines;
        if (!work(t, c, candidates[merged], lines)) return TSummaryResult::Failed;
        merge(lines);
    }
    steps.ToEnd();
    return TSummaryResult::Done;
}

} // namespace arv
