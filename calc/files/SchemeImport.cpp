#include "calc/files/SchemeImport.h"

#include "calc/files/TreskImport.h"

#include "platform/Cp1251.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/NumberParse.h"
#include "platform/Process.h"
#include "platform/Services.h"

#include <memory>
#include <unordered_set>

namespace arv {

namespace {

constexpr int kTurnGrowth = 10;
constexpr int kConverterTimeoutMs = 60000;

// Each row of the table from the first data row; rows without a number are
// the empty tail of a short table and carry nothing.
template <class TRow> void ForEachNumberedRow(const TModGrid& g, TRow row) {
    for (int r = FirstDataRow; r < g.RowCount(); ++r)
        if (!Trim(g.Cells(0, r)).empty()) row(r);
}

TBaseBranch EmptyBranchRow() {
    TBaseBranch b{};
    b[kBaseTurnIndex] = -1;
    return b;
}

// The integer of a cell, 0 for an empty one.
int32_t CellInt(const TModGrid& g, int col, int row) {
    std::string text = Trim(g.Cells(col, row));
    return text.empty() ? 0 : StrToInt(text);
}

// Takes the cell's integer and empties the cell.
int32_t TakeInt(TModGrid& g, int col, int row) {
    int32_t v = CellInt(g, col, row);
    g.SetCells(col, row, "");
    return v;
}

void FillBaseFromImport(TNetworkTables& t) {
    TBaseData& base = BaseData();
    base.Clear();
    base.BaseTurns.resize(kTurnGrowth);
    ForEachNumberedRow(t.TablDavl, [&](int r) {
        TModGrid& g = t.TablDavl;
        base.BaseNodes.push_back(
            {CellInt(g, 0, r), CellInt(g, 5, r), CellInt(g, 6, r), CellInt(g, 1, r)});
    });
    TModGrid& d = t.TablDan;
    ForEachNumberedRow(d, [&](int r) {
        TBaseBranch b = EmptyBranchRow();
        const int i = static_cast<int>(base.BaseBranches.size());
        b[kBaseNumber] = StrToInt(Trim(d.Cells(0, r)));
        b[kBaseBeginNode] = StrToInt(Trim(d.Cells(1, r)));
        b[kBaseEndNode] = StrToInt(Trim(d.Cells(2, r)));
        b[kBaseFreshAir] = TakeInt(d, TreskFreshAirCol, r);
        b[kBaseOutsideType] = TakeInt(d, TreskOutsideTypeCol, r);
        if (!Trim(d.Cells(TreskPlaPositionCol, r)).empty()) {
            b[kBasePlaPosition] = TakeInt(d, TreskPlaPositionCol, r);
            b[kBasePlaColour] = StrToIntDef(Trim(d.Cells(TreskPlaColourCol, r)), 0);
        }
        d.SetCells(TreskPlaColourCol, r, "");
        base.BaseBranchNames.push_back(d.Cells(15, r));
        if (!Trim(d.Cells(TreskTurnCountCol, r)).empty()) {
            TBaseTurns turns;
            turns.BranchIndex = i;
            turns.Count = std::max(0, TakeInt(d, TreskTurnCountCol, r));
            for (int k = 0; k < turns.Count; ++k)
                turns.Points.push_back({TakeInt(d, TreskFirstTurnCol + 2 * k, r),
                                        TakeInt(d, TreskFirstTurnCol + 2 * k + 1, r)});
            b[kBaseTurnIndex] = base.TurnCount;
            base.BaseTurns[base.TurnCount++] = std::move(turns);
            if (base.TurnCount == static_cast<int>(base.BaseTurns.size()))
                base.BaseTurns.resize(base.BaseTurns.size() + kTurnGrowth);
        }
        base.BaseBranches.push_back(b);
    });
}

bool WriteBatchFile(const std::string& batchName, const std::string& mineFileName,
                    const std::string& outputName) {
    TTextFileWriter bat(batchName);
    bat.WriteLine("@echo off");
    bat.WriteLine("\"" + ProgramDir() + "Halvard.exe\" \"" + mineFileName + "\" \"" + outputName +
                  "\"");
    return bat.Commit();
}

} // namespace

namespace {
ISchemeHost* schemeHost = nullptr;
} // namespace

void InstallSchemeHost(ISchemeHost* host) {
    schemeHost = host;
}

ISchemeHost* SchemeHost() {
    return schemeHost;
}

TBaseData& BaseData() {
    static TBaseData data;
    return data;
}

int RunConverterAndWait(const std::string& program, const std::vector<std::string>& args) {
    int exitCode = -1;
    if (RunAndWait(program, args, kConverterTimeoutMs, exitCode, ProgramDir()) !=
        TRunResult::Finished)
        return -1;
    return exitCode;
}

bool ConvertMineFile(const std::string& mineFileName, const TConverterRunner& run) {
    const std::string batchName = ProgramDir() + "temp.bat";
    const std::string outputName = ProgramDir() + "tresktxt.tresk";
    if (!WriteBatchFile(batchName, mineFileName, outputName)) {
        MessageBox(Ru("Не удалось записать файл ") + batchName, "", TMsgButtons::Ok,
                   TMsgIcon::Error);
        return false;
    }
    // The converter is started directly, not through the batch file; an
    // output left by an earlier run must not pass for this one's.
    DeleteFile(outputName);
    if (run(ProgramFile("halvard"), {mineFileName, outputName}) == 0 && FileExists(outputName))
        return true;
    MessageBox(Ru("Ошибка преобразования файла MINE"), "", TMsgButtons::Ok, TMsgIcon::Error);
    return false;
}

namespace {

// The converted text read into the tables and the base data filled from
// them; failures told to the user.
bool ReadConvertedText(TNetworkTables& t, TCalcContext& c, bool announce) {
    t.TablDan.SetColCount(30);
    c.DataLoadedFlag = 0;
    ImportTreskText(ProgramDir() + "tresktxt.tresk", t, c, announce);
    if (!c.DataLoadedFlag) {
        t.TablDan.SetColCount(23);
        MessageBox(Ru("Ошибка преобразования файла MINE"), "", TMsgButtons::Ok, TMsgIcon::Error);
        return false;
    }
    try {
        FillBaseFromImport(t);
    } catch (const EConvertError& e) {
        t.TablDan.SetColCount(23);
        BaseData().Clear();
        MessageBox(e.Message(), "", TMsgButtons::Ok, TMsgIcon::Error);
        return false;
    }
    t.TablDan.SetColCount(23);
    return BaseDataBuildsAScheme();
}

} // namespace

bool ConvertedMineFileReads() {
    auto c = std::make_unique<TCalcContext>();
    TNetworkTables t(*c);
    const bool reads = ReadConvertedText(t, *c, false);
    BaseData().Clear();
    return reads;
}

bool ReadConvertedMineFile(const std::string& mineFileName, TNetworkTables& t, TCalcContext& c,
                           ISchemeHost& host) {
    if (!ReadConvertedText(t, c, true)) return false;
    host.BuildSchemeFromBase();
    host.SchemeImported(ChangeFileExt(mineFileName, ".grh"));
    host.IndexCalcDataGrids();
    host.LinkBranchesToCalcData();
    host.CheckSchemeAgainstCalcData();
    return true;
}

bool ImportMineFile(const std::string& mineFileName, TNetworkTables& t, TCalcContext& c,
                    ISchemeHost& host, const TConverterRunner& run) {
    return ConvertMineFile(mineFileName, run) && ReadConvertedMineFile(mineFileName, t, c, host);
}

bool BaseDataBuildsAScheme() {
    TBaseData& base = BaseData();
    std::unordered_set<int32_t> placed;
    for (const TBaseNode& n : base.BaseNodes) placed.insert(n.Number);
    for (const TBaseBranch& b : base.BaseBranches)
        if (placed.count(b[kBaseBeginNode]) && placed.count(b[kBaseEndNode])) return true;
    base.Clear();
    MessageBox(Ru("Ошибка загрузки документа"), "", TMsgButtons::Ok, TMsgIcon::Error);
    return false;
}

void FillBaseFromDataTables(const TNetworkTables& t) {
    TBaseData& base = BaseData();
    base.Clear();
    base.BaseTurns.resize(kTurnGrowth);
    ForEachNumberedRow(t.TablDavl, [&](int r) {
        const TModGrid& g = t.TablDavl;
        base.BaseNodes.push_back({StrToInt(Trim(g.Cells(0, r))), StrToInt(Trim(g.Cells(4, r))),
                                  StrToInt(Trim(g.Cells(5, r))), StrToInt(Trim(g.Cells(1, r)))});
    });
    ForEachNumberedRow(t.TablDan, [&](int r) {
        // Only three fields come from the table; the rest keep the values of
        // an empty row, so that nothing reads beyond what was filled.
        TBaseBranch b = EmptyBranchRow();
        for (int k = 0; k < 3; ++k) b[k] = StrToInt(Trim(t.TablDan.Cells(k, r)));
        base.BaseBranches.push_back(b);
        base.BaseBranchNames.push_back("");
    });
}

} // namespace arv
