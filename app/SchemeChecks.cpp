// The check of the drawing against the network tables: branches missing on
// either side or drawn the wrong way, and nodes that only take in or only give
// out air without being surface nodes. Findings go into the log tab.
#include "app/DrawWin.h"

#include "calc/window/DataWindowController.h"
#include "document/Branch.h"
#include "platform/Cp1251.h"
#include "platform/NumberFormat.h"
#include "platform/NumberParse.h"
#include "platform/Services.h"

#include <unordered_map>
#include <unordered_set>

namespace arv {

namespace {

constexpr int kLogPage = 2;

} // namespace

bool TIDrawWin::CheckSchemeAgainstCalcData() {
    bool failed = false;
    CheckSchemeAgainstCalcData(failed);
    return !failed;
}

void TIDrawWin::CheckSchemeAgainstCalcData(bool& failed) {
    TGCollFigure& doc = *doc_;
    const auto& index = WindowState().CalcBranchIndex;
    Logger.clear();
    LoggerItemIndex = -1;
    int errors = 0, warnings = 0;
    auto showLogTab = [this] {
        if (!Panel2Visible) PropClick(true);
        PageBookIndex = kLogPage;
        if (LoggerChanged) LoggerChanged();
    };

    // The first record of a number is the one compared.
    std::unordered_map<int32_t, size_t> firstRecord;
    for (size_t i = index.size(); i-- > 0;) firstRecord[index[i].number] = i;
    std::unordered_set<int32_t> drawn;
    for (int32_t i = 0; i < doc.Count(); ++i) {
        const TGBranch* b = doc.BranchAt(i);
        if (!b) continue;
        const int32_t n = b->number;
        drawn.insert(n);
        const std::string num = IntToStr(n);
        auto it = firstRecord.find(n);
        if (it == firstRecord.end()) {
            if (n > 0) {
                Logger.push_back("W:" + num + Ru(":Ветви ") + num + Ru(" нет в расчетных данных"));
                ++warnings;
            }
            continue;
        }
        const TCalcBranchIndexEntry& e = index[it->second];
        if (b->beginNode == e.beginNode && b->endNode == e.endNode) continue;
        if (b->beginNode == e.endNode && b->endNode == e.beginNode)
            Logger.push_back("E:" + num + Ru(":Ветвь ") + num + Ru(" неверно ориентирована"));
        else
            Logger.push_back("E:" + num + Ru(":Ветвь ") + num +
                             Ru(" не соответствует расчетным данным"));
        ++errors;
    }
    failed = errors + warnings > 0;
    if (LoggerChanged) LoggerChanged();
    if (failed) {
        MessageBox(Ru("Схема не соответствует расчетным данным\r\nСмотрите закладку \"Лог\"!\r\n"),
                   "", TMsgButtons::Ok, TMsgIcon::Information);
        showLogTab();
    }

    auto& records = doc.nodes.Records();
    for (TNodeRecord& r : records) {
        r.incoming.clear();
        r.outgoing.clear();
    }
    for (int32_t i = 0; i < doc.Count(); ++i) {
        const TGBranch* b = doc.BranchAt(i);
        if (!b || b->number <= 0) continue;
        const int32_t from = doc.nodes.IndexOfNumber(b->beginNode);
        const int32_t to = doc.nodes.IndexOfNumber(b->endNode);
        if (from >= 0) records[static_cast<size_t>(from)].outgoing.push_back(b->number);
        if (to >= 0) records[static_cast<size_t>(to)].incoming.push_back(b->number);
    }

    surfaceNodes_.clear();
    int topologyErrors = 0;
    for (const TNodeRecord& r : records) {
        const bool surface = r.kind == 1;
        if (surface) surfaceNodes_ += IntToStr(r.number) + ";";
        if (surface) continue;
        const std::string num = IntToStr(r.number);
        if (r.incoming.size() == 1 && r.outgoing.empty()) {
            ShowMessage(Ru("В узле ") + num +
                        Ru(" только входящие ветви, если это узел поверхности, укажите это в "
                           "свойствах узла"));
            ++topologyErrors;
        } else if (r.outgoing.size() == 1 && r.incoming.empty()) {
            ShowMessage(Ru("В узле ") + num +
                        Ru(", только исходящие ветви, если это узел поверхности, укажите это в "
                           "свойствах узла"));
            ++topologyErrors;
        }
    }

    int missing = 0;
    for (const TCalcBranchIndexEntry& e : index) {
        if (drawn.count(e.number)) continue;
        Logger.push_back(Ru("W:Ветви ") + IntToStr(e.number) + Ru(" нет на схеме"));
        ++missing;
    }
    if (missing > 0 && LoggerChanged) LoggerChanged();
    if (missing > 0) {
        failed = true;
        MessageBox(Ru("На схеме отсутсутствуют ветви, имеющиеся в расчетных данных\r\n"
                      "Смотрите закладку \"Лог\"!\r\n"),
                   "", TMsgButtons::Ok, TMsgIcon::Information);
        showLogTab();
    }
    if (topologyErrors > 0) {
        failed = true;
        MessageBox(Ru("Ошибки в топологии сети"), "", TMsgButtons::Ok, TMsgIcon::Information);
    }
    if (!surfaceNodes_.empty() && dataWindow_) dataWindow_->Tables().UzPov = surfaceNodes_;
}

void TIDrawWin::MEQClick() {
    bool failed = false;
    CheckSchemeAgainstCalcData(failed);
    if (!failed)
        MessageBox(Ru("Схема соответствует расчетным данным"), "", TMsgButtons::Ok,
                   TMsgIcon::Information);
}

void TIDrawWin::LoggerDblClick() {
    if (LoggerItemIndex < 0 || LoggerItemIndex >= static_cast<int>(Logger.size())) return;
    const std::string& line = Logger[static_cast<size_t>(LoggerItemIndex)];
    const size_t colon = line.rfind(':');
    // The number stands between "E:" or "W:" and the last colon.
    if (colon == std::string::npos || colon < 2) return;
    int number = 0;
    if (!TryStrToInt(line.substr(2, colon - 2), number)) return;
    if (!doc_->HasBranchNumber(number)) return;
    Repaint();
}

int32_t TIDrawWin::LoggerLineColour(const std::string& line) {
    if (line.empty()) return -1;
    if (line[0] == 'W') return 0x00FFFF;
    if (line[0] == 'E') return 0x0000FF;
    return -1;
}

} // namespace arv
