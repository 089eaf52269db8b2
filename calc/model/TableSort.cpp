#include "calc/model/TableSort.h"

#include "calc/model/DecimalText.h"

#include "platform/Cp1251.h"
#include "platform/NumberParse.h"

#include <vector>

namespace arv {

namespace {

int IntKey(const std::string& cell) {
    return StrToIntDef(Trim(cell), 0);
}

// The classic two-index partition; keys are converted once and travel with
// their rows, which gives the same order as converting at each comparison.
void QuickSort(TModGrid& table, std::vector<int>& keys, int base, int first, int last) {
    int i = first, j = last;
    int pivot = keys[(first + last) / 2 - base];
    do {
        while (keys[i - base] < pivot) ++i;
        while (keys[j - base] > pivot) --j;
        if (i <= j) {
            if (i != j) {
                table.SwapRows(i, j);
                std::swap(keys[i - base], keys[j - base]);
            }
            ++i;
            --j;
        }
    } while (i <= j);
    if (j > first) QuickSort(table, keys, base, first, j);
    if (i < last) QuickSort(table, keys, base, i, last);
}

} // namespace

void QuickSortTableRows(TModGrid& table, int first, int last) {
    if (first < 0 || last >= table.RowCount() || first >= last) return;
    std::vector<int> keys;
    for (int r = first; r <= last; ++r) keys.push_back(IntKey(table.Cells(table.Col(), r)));
    table.BeginUpdate();
    QuickSort(table, keys, first, first, last);
    table.EndUpdate();
}

void BubbleSortTableRows(TModGrid& table) {
    int first = table.FixedRows();
    int last = table.RowCount() - 1;
    if (last <= first) return;
    int col = table.Col();
    bool numeric = true;
    for (int r = first; r < last && numeric; ++r) {
        double v;
        numeric = TryCellToFloat(table.Cells(col, r), v);
    }
    std::vector<double> values;
    std::vector<std::string> texts;
    for (int r = first; r <= last; ++r) {
        if (numeric) {
            double v = 0;
            if (!TryCellToFloat(table.Cells(col, r), v)) v = 0;
            values.push_back(v);
        } else {
            texts.push_back(table.Cells(col, r));
        }
    }
    auto greater = [&](int a, int b) {
        return numeric ? values[a] > values[b] : texts[a].compare(texts[b]) > 0;
    };
    table.BeginUpdate();
    bool swapped = true;
    while (swapped) {
        swapped = false;
        for (int r = first; r < last; ++r) {
            int k = r - first;
            if (!greater(k, k + 1)) continue;
            table.SwapRows(r, r + 1);
            if (numeric)
                std::swap(values[k], values[k + 1]);
            else
                std::swap(texts[k], texts[k + 1]);
            swapped = true;
        }
    }
    table.EndUpdate();
}

void SortTableRows(TModGrid& table) {
    if (table.Col() <= 2)
        QuickSortTableRows(table, table.FixedRows(), table.RowCount() - 1);
    else
        BubbleSortTableRows(table);
}

} // namespace arv
