// Sorting the data rows of a network table by the column of the cursor.
#pragma once

#include "calc/model/ModGrid.h"

namespace arv {

// Columns 0 to 2 (numbers and nodes) as integers by quicksort, every other
// column by a stable bubble sort, numerically when every key but the last
// row's is a number, else as text.
void SortTableRows(TModGrid& table);
void BubbleSortTableRows(TModGrid& table);
void QuickSortTableRows(TModGrid& table, int first, int last);

} // namespace arv
