// The editable grid every network table uses: the string grid model with a
// modified flag, row insertion and removal, cell clipboard and the Enter
// behaviour that walks the cells row by row.
#pragma once

#include "platform/StringGrid.h"

namespace arv {

class TModGrid : public TStringGridModel {
public:
    using TStringGridModel::TStringGridModel;

    // An empty row directly below the current one; the cursor moves into it.
    void InsertRowBelow();
    void RemoveCurrentRow();
    // Every row from `first` on emptied, those past the row count too: a
    // table refilled with fewer rows must not show the old ones again when
    // it grows (Enter on the last cell appends a row).
    void ClearRowsFrom(int first);
    // On the current cell, when it is a data cell: a table without data rows
    // has its cursor on a heading row, and headings are not data.
    void CopyCell();
    void CutCell();
    void PasteCell();
    bool OnDataCell() const;
    // The next cell as Enter goes: right, then the first column of the next
    // row, appending a row after the last one.
    void AdvanceCell();

    void KeyPress(char& key) override;
    void KeyDown(int& key, TShiftState shift) override;
};

} // namespace arv
