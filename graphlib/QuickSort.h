// The one quicksort of the library: a value pivot taken from the middle,
// Hoare partition, recursion into the left part and a loop over the right.
// Not stable.
#pragma once

#include <cstdint>

namespace arv::graphlib {

// take(i) copies element i into the pivot; cmp(i) is the sign of element i
// against the pivot; exch(i, j) swaps two elements.
template <class Take, class Cmp, class Exch>
void QuickSortRange(int32_t lo, int32_t hi, bool ascending, Take& take, Cmp& cmp, Exch& exch) {
    while (lo < hi) {
        take(lo + (hi - lo) / 2);
        int32_t i = lo;
        int32_t j = hi;
        do {
            if (ascending) {
                while (cmp(i) < 0) ++i;
                while (cmp(j) > 0) --j;
            } else {
                while (cmp(i) > 0) ++i;
                while (cmp(j) < 0) --j;
            }
            if (i <= j) {
                exch(i, j);
                ++i;
                --j;
            }
        } while (i <= j);
        if (lo < j) QuickSortRange(lo, j, ascending, take, cmp, exch);
        lo = i;
    }
}

} // namespace arv::graphlib
