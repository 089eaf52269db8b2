#include "calc/files/NetworkDataText.h"

#include "calc/engine/NetworkPreparation.h"
#include "calc/model/DecimalText.h"

#include "platform/Cp1251.h"
#include "platform/NumberFormat.h"
#include "platform/NumberParse.h"

#include <algorithm>

namespace arv {

namespace {

// Highest node number and so the last node table row a reader empties.
constexpr int kLastNodeRow = MaxNodeCount;
// '№' in CP1251: stands in for '#', which would end the record.
constexpr char kNumeroSign = '\xB9';

// A cell or name as a field: the two characters that carry the text's
// structure are replaced.
void AppendField(std::string& out, std::string_view text) {
    for (char ch : text) {
        if (ch == ';')
            out += ',';
        else if (ch == '#')
            out += kNumeroSign;
        else
            out += ch;
    }
}

void AppendRow(std::string& out, char tag, const TModGrid& grid, int row, int colCount,
               bool skipBranchLists = false) {
    out += tag;
    out += ';';
    for (int col = 0; col < colCount; ++col) {
        if (!(skipBranchLists && (col == 2 || col == 3))) AppendField(out, grid.Cells(col, row));
        out += ';';
    }
    out += '#';
}

// Data rows of a table: from the first data row to the last row, and any
// rows beyond that still hold text.
void EmptyDataRows(TModGrid& grid, int lastRow) {
    int last = std::max({lastRow, grid.RowCount() - 1, grid.LastFilledRow()});
    for (int r = FirstDataRow; r <= last; ++r) grid.ClearRow(r);
}

void Dispatch(std::string_view record, TTableRecordReader& rows, TNetworkTables& t,
              TCalcContext& c) {
    char tag = record[0];
    // The body lies between "X;" and the closing '#'.
    std::string_view body = record.size() >= 3 ? record.substr(2, record.size() - 3) : "";
    switch (tag) {
    case 'A': {
        auto fields = SplitFields(body);
        if (fields.size() > 0) t.NameSh = fields[0];
        if (fields.size() > 1) t.NameVar = fields[1];
        std::vector<std::string> options;
        if (fields.size() > 2) options.assign(fields.begin() + 2, fields.end());
        ReadOptionFields(options, t, c.CalcOptions);
        break;
    }
    case 'U':
        t.UzPov = std::string(body);
        break;
    default:
        rows.Row(tag, body);
        break;
    }
}

} // namespace

std::string BuildNetworkDataText(const TNetworkTables& t, const TCalcContext& c) {
    const TCalcOptions& o = c.CalcOptions;
    std::string out = "A;";
    AppendField(out, t.NameSh);
    out += ';';
    AppendField(out, t.NameVar);
    out += ';';
    out += IntToStr(o.FlowUnit);
    for (int position = 1; position <= 5; ++position) {
        out += "; ";
        AppendField(out, std::string(1, o[position]));
    }
    for (const std::string* field : {&t.Tnar, &t.Tsh, &t.Pnar, &t.Psh}) {
        out += "; ";
        AppendField(out, *field);
    }
    out += "; #";

    // The surface node list keeps its own ';' after every node number.
    out += "U;";
    for (char ch : t.UzPov) out += ch == '#' ? kNumeroSign : ch;
    out += '#';

    for (int r = FirstDataRow; r < t.TablDan.RowCount(); ++r)
        if (!t.TablDan.Cells(0, r).empty()) AppendRow(out, 'D', t.TablDan, r, t.TablDan.ColCount());
    for (int r = FirstDataRow; r < t.TablVen.RowCount(); ++r)
        if (!t.TablVen.Cells(0, r).empty()) AppendRow(out, 'V', t.TablVen, r, 8);
    // A node row counts by its elevation; the branch lists are rebuilt by
    // the calculation and not stored.
    for (int r = FirstDataRow; r < t.TablDavl.RowCount(); ++r)
        if (!t.TablDavl.Cells(4, r).empty())
            AppendRow(out, 'N', t.TablDavl, r, t.TablDavl.ColCount(), true);
    // A stored route keeps the cells it was read with beyond its table's
    // columns: no window shows them, and none may lose them.
    for (const auto& [tag, routes] :
         {std::pair{'M', &t.TempTableM}, std::pair{'S', &t.TempTableS}}) {
        for (int r = 0; r < routes->RowCount(); ++r)
            if (!routes->Cells(0, r).empty())
                AppendRow(out, tag, *routes, r,
                          std::max(routes->ColCount(), routes->LastFilledCol(r) + 1));
    }
    // An empty last record: older readers never looked at the final byte.
    out += '#';
    return out;
}

void ParseNetworkDataText(const std::string& text, TNetworkTables& t, TCalcContext& c) {
    TTableRecordReader rows(t, c);
    std::string_view rest = text;
    // Every byte counts, so a text whose last record lacks the extra '#'
    // loses nothing; an unterminated tail is no record.
    for (size_t end = rest.find('#'); end != std::string_view::npos; end = rest.find('#')) {
        Dispatch(rest.substr(0, end + 1), rows, t, c);
        rest.remove_prefix(end + 1);
    }
    rows.Finish();
}

std::string DataTextField(std::string_view text) {
    std::string field;
    AppendField(field, text);
    return field;
}

std::vector<std::string> SplitFields(std::string_view body) {
    std::vector<std::string> fields;
    for (size_t end = body.find(';'); end != std::string_view::npos; end = body.find(';')) {
        fields.emplace_back(body.substr(0, end));
        body.remove_prefix(end + 1);
    }
    return fields;
}

uint8_t ReadFlowUnitField(std::string_view field) {
    int value = 0;
    int code = 0;
    Val(ToPointDecimal(field.substr(0, 2)), value, code);
    return code == 0 && value == 60 ? 60 : 1;
}

char ReadLetterField(std::string_view field, char def) {
    for (char ch : field)
        if (ch != ' ') return ch;
    return def;
}

void ReadOptionFields(const std::vector<std::string>& fields, TNetworkTables& t,
                      TCalcOptions& options) {
    auto field = [&](size_t i) -> std::string_view {
        return i < fields.size() ? std::string_view(fields[i]) : std::string_view();
    };
    options.FlowUnit = ReadFlowUnitField(field(0));
    const char defaults[] = {'D', 'E', 'N', 'M', 'O'};
    for (int i = 0; i < 5; ++i) options[1 + i] = ReadLetterField(field(1 + i), defaults[i]);
    std::string* texts[] = {&t.Tnar, &t.Tsh, &t.Pnar, &t.Psh};
    for (size_t i = 0; i < 4; ++i)
        if (6 + i < fields.size()) *texts[i] = Trim(fields[6 + i]);
}

void StoreRowFields(TModGrid& grid, int row, std::string_view body) {
    auto fields = SplitFields(body);
    for (size_t col = 0; col < fields.size(); ++col)
        grid.SetCells(static_cast<int>(col), row, fields[col]);
}

TTableRecordReader::TTableRecordReader(TNetworkTables& t, TCalcContext& c) : t_(t), c_(c) {
    for (TModGrid* g : {&t_.TablDan, &t_.TablDavl, &t_.TablVen}) g->BeginUpdate();
    EmptyDataRows(t_.TablDan, MaxBranchCount);
    EmptyDataRows(t_.TablDavl, kLastNodeRow);
    EmptyDataRows(t_.TablVen, MaxFanRows);
    for (TModGrid* g : {&t_.TablDan, &t_.TablDavl, &t_.TablVen}) g->SetRowCount(3);
    t_.UzPov.clear();
}

TTableRecordReader::~TTableRecordReader() {
    EndUpdates();
}

// The three tables tell their views once, when the whole data set is in.
void TTableRecordReader::EndUpdates() {
    if (!updating_) return;
    updating_ = false;
    for (TModGrid* g : {&t_.TablDan, &t_.TablDavl, &t_.TablVen}) g->EndUpdate();
}

bool TTableRecordReader::Row(char tag, std::string_view body) {
    TModGrid* grid = nullptr;
    int* counter = nullptr;
    switch (tag) {
    case 'D':
        grid = &t_.TablDan;
        counter = &branchRow_;
        break;
    case 'V':
        grid = &t_.TablVen;
        counter = &fanRow_;
        break;
    case 'N':
        grid = &t_.TablDavl;
        counter = &nodeRow_;
        break;
    case 'M':
        grid = &t_.TempTableM;
        counter = &minersRow_;
        break;
    case 'S':
        grid = &t_.TempTableS;
        counter = &rescueRow_;
        break;
    default:
        return false;
    }
    // A record without the field the writer keys its rows on would be
    // dropped by the next save; dropping it now makes what is read what a
    // save writes (a bad row kept only until then would stop the reading
    // of every branch, and the data set would read differently once saved).
    const size_t keyField = tag == 'N' ? 4 : 0;
    const auto fields = SplitFields(body);
    if (fields.size() <= keyField || fields[keyField].empty()) return true;
    ++*counter;
    StoreRowFields(*grid, *counter, body);
    return true;
}

void TTableRecordReader::Finish() {
    int branches = branchRow_ - 1, fans = fanRow_ - 1, nodes = nodeRow_ - 1;
    t_.TablDan.SetRowCount(std::max(branches + 2, 4));
    t_.TablVen.SetRowCount(std::max(fans + 2, 4));
    // One node record must keep its row as well as many do.
    t_.TablDavl.SetRowCount(std::max(nodes + 2, 4));
    for (int r = nodes + 2; r <= 3; ++r) t_.TablDavl.SetCells(0, r, "");
    t_.TempTableM.SetRowCount(minersRow_ + 1);
    t_.TempTableS.SetRowCount(rescueRow_ + 1);
    EndUpdates();
    if (t_.TablDan.RowCount() > 4) {
        ResetBranchWorkList(c_);
        ReadBranchTable(t_, c_);
    }
}

void ResetBranchWorkList(TCalcContext& c) {
    c.CalcErrorFlag = 0;
    c.BranchWorkCount = 0;
    std::fill(c.BranchWorkList.begin(), c.BranchWorkList.end(), 0);
    std::fill(c.BranchOccurrence.begin(), c.BranchOccurrence.end(), 0);
    std::fill(c.BranchCalcKind.begin(), c.BranchCalcKind.end(), 0);
    // Types and fan curves are set only for the branches read; those of a
    // branch that is gone must not linger.
    for (auto& kind : c.BranchKindCode) kind.clear();
    for (auto* v : {&c.FanCoefA, &c.FanCoefB, &c.FanCoefC, &c.FanFlowLimit})
        std::fill(v->begin(), v->end(), 0.0);
}

} // namespace arv
