#include "calc/window/OrnalImport.h"

#include "calc/files/OldImports.h"

#include "platform/Cp1251.h"
#include "platform/Services.h"

namespace arv {

TImpOrnal::TImpOrnal() {
    DBGrid1.SetFixedRows(1);
    DBGrid1.SetFixedCols(0);
    DBGrid1.SetEditing(false);
    DBGrid1.SetRowCount(2);
}

void TImpOrnal::Notify() {
    if (Changed) Changed();
}

bool TImpOrnal::OpenTable(const std::string& fileName) {
    TDbfTable table;
    std::string error;
    if (!table.Open(fileName, &error)) {
        MessageBox(error, "", TMsgButtons::Ok, TMsgIcon::Error);
        return false;
    }
    std::vector<std::string> missing = MissingOrnalFields(table);
    if (!missing.empty()) {
        std::string list;
        for (const std::string& f : missing) list += (list.empty() ? "" : ", ") + f;
        MessageBox(Ru("В таблице ") + fileName + Ru(" нет полей: ") + list, "", TMsgButtons::Ok,
                   TMsgIcon::Error);
        return false;
    }
    if (table.RecordCount() > MaxBranchCount) {
        MessageBox(Ru("В таблице ") + fileName + Ru(" записей больше, чем допускает программа"), "",
                   TMsgButtons::Ok, TMsgIcon::Error);
        return false;
    }
    Table = std::move(table);
    FillGrid();
    return true;
}

void TImpOrnal::FillGrid() {
    const auto& fields = Table.Fields();
    DBGrid1.BeginUpdate();
    DBGrid1.ClearAll();
    DBGrid1.SetColCount(static_cast<int>(fields.size()));
    DBGrid1.SetRowCount(std::max(2, Table.RecordCount() + 1));
    for (int c = 0; c < static_cast<int>(fields.size()); ++c) {
        std::string title = OrnalFieldTitle(fields[c].Name);
        DBGrid1.SetCells(c, 0, title.empty() ? fields[c].Name : title);
        for (int r = 0; r < Table.RecordCount(); ++r)
            DBGrid1.SetCells(c, r + 1, OrnalFieldText(Table, r, c));
    }
    DBGrid1.SetCurrent(0, 1);
    DBGrid1.EndUpdate();
}

void TImpOrnal::Show() {
    Visible = true;
    Notify();
}

void TImpOrnal::Close() {
    Visible = false;
    Notify();
}

int TImpOrnal::RecNo() const {
    return Table.RecordCount() == 0 ? -1 : DBGrid1.Row() - 1;
}

void TImpOrnal::First() {
    if (Table.RecordCount() > 0) DBGrid1.SetRow(1);
}

void TImpOrnal::Prior() {
    if (RecNo() > 0) DBGrid1.SetRow(DBGrid1.Row() - 1);
}

void TImpOrnal::Next() {
    if (RecNo() >= 0 && RecNo() + 1 < Table.RecordCount()) DBGrid1.SetRow(DBGrid1.Row() + 1);
}

void TImpOrnal::Last() {
    if (Table.RecordCount() > 0) DBGrid1.SetRow(Table.RecordCount());
}

void TImpOrnal::BitBtn2Click(TNetworkTables& t) {
    if (!Table.Active()) return;
    First();
    TransferOrnalTable(Table, t);
    Last();
    MessageBox(Ru("Исправьте общие данные."), "", TMsgButtons::Ok, TMsgIcon::Information);
}

TImpOrnal& ImpOrnal() {
    static TImpOrnal window;
    return window;
}

} // namespace arv
