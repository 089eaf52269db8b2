// The import window of the other institute's dBASE branch tables ("Импорт
// из Орнал") without its window: the open table shown row by row in a grid
// with the fields' titles, a record cursor, and the transfer into the
// network tables. Created at start-up; the table stays open after a transfer.
#pragma once

#include "calc/model/ModGrid.h"
#include "calc/model/NetworkTables.h"

#include "platform/DbfTable.h"

#include <functional>
#include <string>

namespace arv {

class TImpOrnal {
public:
    TImpOrnal();

    TDbfTable Table;
    // Row 0 the titles, one row per record from row 1.
    TModGrid DBGrid1{"DBGrid1"};
    bool Visible = false;
    std::function<void()> Changed;

    // Opens the table of that path; a table that cannot be read or lacks a
    // field is told and leaves the window as it was.
    bool OpenTable(const std::string& fileName);
    void Show();
    void Close();
    // The navigator: the current record.
    int RecNo() const; // 0-based, -1 without records
    void First();
    void Prior();
    void Next();
    void Last();
    // The transfer button: every record into the branch and fan tables,
    // then "Исправьте общие данные.".
    void BitBtn2Click(TNetworkTables& t);

private:
    void FillGrid();
    void Notify();
};

TImpOrnal& ImpOrnal();

} // namespace arv
