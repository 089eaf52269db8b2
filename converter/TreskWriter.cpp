#include "converter/TreskWriter.h"

#include <algorithm>
#include <charconv>
#include <ostream>
#include <string_view>

namespace halvard {

namespace {

// Bits of a branch tag that carry a pipe or cable text.
constexpr unsigned FireWaterBit = 4;
constexpr unsigned CableBit = 8;
constexpr unsigned DeGazeBit = 32;

// One record line. Fields are added in order; the line end comes with the
// destructor, so every record ends in CR LF whatever the platform.
class TLine {
public:
    TLine(std::string& out, int kind) : out_(out) { Append(kind); }
    ~TLine() { out_ += "\r\n"; }
    TLine(const TLine&) = delete;
    TLine& operator=(const TLine&) = delete;

    TLine& Int(long long value) {
        out_ += '|';
        Append(value);
        return *this;
    }
    // 8-bit values print as signed numbers.
    TLine& Byte(uint8_t value) { return Int(static_cast<int8_t>(value)); }
    // "%f": six decimals with a decimal point, never the locale's separator.
    TLine& Float(double value) {
        char buffer[400];
        auto [end, ec] =
            std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
        out_ += '|';
        if (ec == std::errc())
            out_.append(buffer, end);
        else
            out_ += "0.000000"; // cannot happen: the buffer holds any double
        return *this;
    }
    // A line end inside a text would split the record, so it becomes a blank.
    TLine& Text(std::string_view text) {
        out_ += "|\"";
        for (char c : text) out_ += (c == '\r' || c == '\n') ? ' ' : c;
        out_ += '"';
        return *this;
    }

private:
    void Append(long long value) {
        char buffer[24];
        auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
        (void)ec;
        out_.append(buffer, end);
    }
    std::string& out_;
};

// Announces a section on the console in verbose mode.
void Section(std::ostream& console, bool verbose, const char* message) {
    if (verbose) console << message << '\n';
}

std::string_view SlotText(const TTextTable& table, size_t slot) {
    auto it = slot < static_cast<size_t>(TextSlotCount) ? table.find(static_cast<int>(slot))
                                                        : table.end();
    return it != table.end() ? std::string_view(it->second) : std::string_view();
}

std::string LayerName(std::string name) {
    std::replace(name.begin(), name.end(), '"', ' ');
    return name;
}

void WriteBranch(std::string& out, const TMineTables& t, size_t i) {
    TLine line(out, 1);
    line.Int(t.BrNumbers[i]).Byte(t.BrType[i]).Int(t.BrStartN[i]).Int(t.BrEndN[i]);
    line.Text(SlotText(t.BrNames, i));
    line.Int(t.BrLen[i]).Int(t.BrPla[i]).Int(t.BrPeople[i]);
    line.Float(t.BrResist[i]).Float(t.BrAuxDepr[i]).Float(t.BrAirDebt[i]).Float(t.BrAlpha[i]);
    line.Float(t.BrStartTemperature[i]).Float(t.BrEndTemperature[i]);
    line.Float(t.BrSquare[i]).Float(t.BrHeight[i]).Float(t.BrAngle[i]);
    line.Int(t.BrPLAColors[i]).Byte(t.BrLayer[i]);
    line.Float(t.BrDepr[i]).Float(t.BrQtr[i]);
    // Three values that no tag of the mine file fills.
    line.Float(0).Float(0).Float(0);
    line.Float(t.BrFixDepr[i]).Float(t.BrResistZkr[i]).Float(t.BrHmes[i]).Float(t.BrQmes[i]);
    line.Float(t.BrQnorm[i]).Float(t.BrVmin[i]).Float(t.BrVmax[i]);
    line.Int(t.BrTag[i]).Int(t.BrView[i]).Int(t.BrPosDGS[i]);
    line.Byte(0); // a byte that no tag fills
    line.Byte(t.BrFresh[i]);
}

void WritePipe(std::string& out, const TMineTables& t, size_t i) {
    const unsigned bits = t.BrTag[i] & 0xFFu;
    if ((bits & (CableBit | DeGazeBit | FireWaterBit)) == 0) return;
    const size_t number = t.BrNumbers[i];
    auto text = [&](unsigned bit, const TTextTable& table) {
        return (bits & bit) ? SlotText(table, number) : std::string_view();
    };
    TLine(out, 40)
        .Int(t.BrNumbers[i])
        .Text(text(CableBit, t.BrCableCell))
        .Text(text(DeGazeBit, t.BrDeGazeCell))
        .Text(text(FireWaterBit, t.BrFireWaterCell));
}

} // namespace

std::string WriteTreskText(const TMineTables& t, std::ostream& console, bool verbose) {
    std::string out;

    Section(console, verbose, "Print version...");
    TLine(out, 99).Text("1.0");

    Section(console, verbose, "Print mine...");
    TLine(out, 0)
        .Text(t.MineInfo.Name)
        .Text(t.MineInfo.Text)
        .Int(t.MineInfo.Value70)
        .Int(t.MineInfo.Value74);

    Section(console, verbose, "Print layer...");
    for (const TMineLayer& layer : t.MineLayer)
        TLine(out, 4).Text(LayerName(layer.Name)).Int(layer.Value64);

    Section(console, verbose, "Print node...");
    for (size_t i = 0; i < t.NodeCount(); ++i)
        TLine(out, 2)
            .Int(t.NodeNumbers[i])
            .Int(t.NodeX[i])
            .Int(t.NodeY[i])
            .Float(t.NodeAlt[i])
            .Byte(t.NodeSurf[i])
            .Byte(t.NodeExit[i]);

    Section(console, verbose, "Print branch...");
    for (size_t i = 0; i < t.BranchCount(); ++i) WriteBranch(out, t, i);

    Section(console, verbose, "Print pipe...");
    for (size_t i = 0; i < t.BranchCount(); ++i) WritePipe(out, t, i);

    Section(console, verbose, "Print fan...");
    for (const TFanRecord& fan : t.FanList)
        TLine(out, 50).Text(fan.Name).Int(fan.Value34).Int(fan.Value36).Int(fan.Value37);

    Section(console, verbose, "Print PLA...");
    for (const TPlaLabel& label : t.PLALabels)
        TLine(out, 60).Int(label.Value8).Int(label.Value0).Int(label.Value4);

    Section(console, verbose, "Print BrPhone...");
    for (const TBranchPhone& phone : t.BranchPhone)
        TLine(out, 65)
            .Text(phone.Name)
            .Int(phone.Value0)
            .Int(phone.Value4)
            .Int(phone.Value8)
            .Int(phone.Value12);

    if (verbose) console << "Print phones...Count=" << t.Phone.size() << '\n';
    for (const TPhone& phone : t.Phone)
        TLine(out, 66).Text(phone.Digits).Int(phone.Value0).Int(phone.Value4);

    Section(console, verbose, "Print old phones...");
    for (const TPhoneOld& phone : t.PhoneOld) TLine(out, 67).Int(phone.Value0).Int(phone.Value4);

    Section(console, verbose, "Print turn...");
    for (const TBrTurn& turn : t.BrTurn) TLine(out, 3).Int(turn.Branch).Int(turn.X).Int(turn.Y);

    Section(console, verbose, "Print link...");
    for (const TLink& link : t.LinkList)
        TLine(out, 68).Text(link.Name).Int(link.Value0).Int(link.Value4);

    return out;
}

} // namespace halvard
