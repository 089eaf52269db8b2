// Whether the calculation arrays still describe the tables: a successful run
// marks its results valid, and any later change of a watched table (typing,
// loading, inserting rows) makes them stale. Calculations that read the
// arrays of the last run refuse stale ones. Writers of results suspend the
// watch while they fill the tables.
#pragma once

#include "platform/StringGrid.h"

#include <vector>

namespace arv {

class TResultsWatch : public IGridListener {
public:
    TResultsWatch() = default;
    TResultsWatch(const TResultsWatch&) = delete;
    TResultsWatch& operator=(const TResultsWatch&) = delete;
    ~TResultsWatch() override {
        for (TStringGridModel* g : grids_) g->RemoveListener(this);
    }

    void Watch(TStringGridModel& grid) {
        grids_.push_back(&grid);
        grid.AddListener(this);
    }
    void MarkValid() { valid_ = true; }
    void MarkStale() { valid_ = false; }
    bool Valid() const { return valid_; }

    void GridChanged(TStringGridModel&, TGridChange what, int, int) override {
        if (suspended_ == 0 && (what == TGridChange::Cell || what == TGridChange::Structure))
            valid_ = false;
    }

    // The tables change while it lives without making the results stale.
    class TSuspend {
    public:
        explicit TSuspend(TResultsWatch& w) : w_(w) { ++w_.suspended_; }
        ~TSuspend() { --w_.suspended_; }
        TSuspend(const TSuspend&) = delete;
        TSuspend& operator=(const TSuspend&) = delete;

    private:
        TResultsWatch& w_;
    };

private:
    std::vector<TStringGridModel*> grids_;
    bool valid_ = false;
    int suspended_ = 0;
};

} // namespace arv
