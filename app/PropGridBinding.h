// The inspector's handlers bound to its draw grid, and the inspector's state
// shown in the grid, without a window system: the form and the tests use the
// same binding.
#pragma once

#include "app/DrawWin.h"
#include "app/RxDrawGrid.h"

namespace arv {

// Columns, widths, options and every event the inspector handles.
void BindGridProp(TIDrawWin& w, TRxDrawGrid& grid);
// Row count, enabled state, editing option and the editor's text follow the
// inspector after it refreshed its rows.
void SyncGridProp(TIDrawWin& w, TRxDrawGrid& grid);

} // namespace arv
