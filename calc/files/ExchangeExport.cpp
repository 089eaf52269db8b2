#include "calc/files/ExchangeExport.h"

#include "calc/model/DecimalText.h"
#include "platform/Cp1251.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"
#include "platform/NumberParse.h"
#include "platform/Services.h"

#include <algorithm>
#include <cmath>

namespace arv {

namespace {

// Stops an export: the message is shown by the writer's caller frame.
struct TExportStop {
    std::string Message;
};

bool IsEmptyCell(const std::string& cell) {
    return Trim(cell).empty();
}

std::string Quoted(const std::string& s) {
    return "\"" + s + "\"";
}

// A table text as the exchange files carry it, or the default when empty.
std::string TextOr(const std::string& cell, const char* def) {
    return IsEmptyCell(cell) ? std::string(def) : ToPointDecimalUnquoted(cell);
}

int IntCell(const std::string& cell) {
    return StrToInt(Trim(ToCommaDecimal(cell)));
}

// A decimal cell; an empty one gives def, a text that is no number raises
// the conversion error that stops the export.
double RealCell(const std::string& cell, double def) {
    if (IsEmptyCell(cell)) return def;
    return StrToFloat(ToPointDecimal(cell), '.');
}

std::string Fixed(double value, const char* picture) {
    return FormatFloat(picture, value, '.');
}

std::string LengthField(const std::string& cell, bool lenient) {
    if (IsEmptyCell(cell)) return "0";
    double length = 0;
    if (lenient) {
        if (!TryCellToFloat(cell, length)) length = 0;
    } else {
        length = RealCell(cell, 0);
    }
    return Format("%5d", {Round(length)});
}

struct TExtent {
    int MaxX = 0, MaxY = 0;
    int MinX = 1000000, MinY = 1000000;
    bool Any = false;
};

TExtent PlanExtent(const TExchangePlan& plan) {
    TExtent e;
    for (const auto& n : plan.Nodes) {
        if (n.Number < 1) continue;
        e.Any = true;
        e.MaxX = std::max(e.MaxX, n.X);
        e.MaxY = std::max(e.MaxY, n.Y);
        e.MinX = std::min(e.MinX, n.X);
        e.MinY = std::min(e.MinY, n.Y);
    }
    return e;
}

const TExchangePlan::TBranch* FigureOf(const TExchangePlan& plan, int number) {
    for (const auto& b : plan.Branches)
        if (b.Number == number) return &b;
    return nullptr;
}

struct TFigureValues {
    int PlaPosition = 0;
    int PlaColour = 0;
    int FreshAir = 0;
    int Styled = 0;
};

TFigureValues FigureValues(const TExchangePlan& plan, int number) {
    TFigureValues v;
    if (const auto* b = FigureOf(plan, number)) {
        v.PlaPosition = std::max(0, b->PlaPosition);
        v.PlaColour = b->PlaPosition < 1 ? 16777215 : b->PlaColour;
        v.FreshAir = b->FreshAir ? 1 : 0;
        v.Styled = b->Styled ? 1 : 0;
    }
    return v;
}

// The fan table row of a branch number, or -1.
int FanRowOf(const TNetworkTables& t, int number) {
    const TModGrid& v = t.TablVen;
    for (int r = v.FixedRows(); r < v.RowCount(); ++r) {
        if (IsEmptyCell(v.Cells(0, r))) continue;
        if (IntCell(v.Cells(0, r)) == number) return r;
    }
    return -1;
}

// The node table row of a node number, or -1; an empty number cell before
// it means the table was not built by a calculation.
int NodeRowOf(const TNetworkTables& t, int number) {
    const TModGrid& d = t.TablDavl;
    for (int r = 2; r < d.RowCount(); ++r) {
        if (IsEmptyCell(d.Cells(0, r)))
            throw TExportStop{Ru("Неверные данные в таблице узлов. Произведите расчет.")};
        if (IntCell(d.Cells(0, r)) == number) return r;
    }
    return -1;
}

// Fields 9 and 10 of a fan branch: |A| and C of its fan row. A fan without
// a row gets zeros, so the record keeps its field count.
std::string FanFields(const TNetworkTables& t, int number) {
    int row = FanRowOf(t, number);
    double a = 0, c = 0;
    if (row >= 0) {
        a = std::fabs(RealCell(t.TablVen.Cells(3, row), 0));
        c = RealCell(t.TablVen.Cells(5, row), 0);
    }
    return Fixed(a, "0.00000") + "|" + Fixed(c, "0.00000");
}

bool IsFan(const std::string& typeCell) {
    return Trim(typeCell) == Ru("В");
}

using TLineSink = std::vector<std::string>;

// Calls write(cell, number, figure values) for every branch row with a number.
template <class TWrite>
void ForEachBranchRow(const TNetworkTables& t, const TExchangePlan& plan, TWrite write) {
    const TModGrid& d = t.TablDan;
    for (int r = d.FixedRows(); r < d.RowCount(); ++r) {
        auto c = [&](int col) -> const std::string& { return d.Cells(col, r); };
        if (IsEmptyCell(c(0))) continue;
        const int number = IntCell(c(0));
        const TFigureValues fig = FigureValues(plan, number);
        write(c, number, fig);
    }
}

void WriteTreskBranches(const TNetworkTables& t, const TExchangePlan& plan, TLineSink& out) {
    ForEachBranchRow(t, plan, [&](auto c, int number, const TFigureValues& fig) {
        std::string line = "1|" + ToCommaDecimal(c(0)) + "|" + IntToStr(fig.Styled) + "|" +
                           ToCommaDecimal(c(1)) + "|" + ToCommaDecimal(c(2)) + "|" +
                           Quoted(ToPointDecimalUnquoted(c(15))) + "|" + LengthField(c(5), true) +
                           "|" + IntToStr(fig.PlaPosition) + "|" + TextOr(c(21), "0") + "|";
        if (IsFan(c(3)))
            line += FanFields(t, number);
        else
            line += Fixed(RealCell(c(4), 0.000001) + RealCell(c(8), 0), "0.000000") + "|0.0";
        line += "|0.0|0.0|0.0|0.0|" + TextOr(c(6), "0.0") + "|" + TextOr(c(20), "0.0") + "|" +
                TextOr(c(22), "0.0") + "|" + IntToStr(fig.PlaColour) + "|0|0.0|" +
                TextOr(c(10), "0.0") + "|0.0|0.0|0.0|" + TextOr(c(18), "0.0") +
                "|0.0|0.0|0.0|0.0|0.15|12.0|0|0|0|0|" + IntToStr(fig.FreshAir);
        out.push_back(line);
    });
}

void WriteVeltorBranches(const TNetworkTables& t, const TExchangePlan& plan, TLineSink& out) {
    ForEachBranchRow(t, plan, [&](auto c, int number, const TFigureValues& fig) {
        std::string line = "1|" + ToCommaDecimal(c(0)) + "|" + ToCommaDecimal(c(1)) + "|" +
                           ToCommaDecimal(c(2)) + "|" + Quoted(ToCommaDecimal(c(3))) + "|" +
                           Quoted(ToPointDecimalUnquoted(c(15))) + "|" + LengthField(c(5), false) +
                           "|" + TextOr(c(6), "0.0") + "|" + TextOr(c(7), "0.0") + "|";
        if (IsFan(c(3)))
            line += FanFields(t, number);
        else
            line += Fixed(RealCell(c(4), 0.000001), "0.000000") + "|" +
                    Fixed(RealCell(c(8), 0), "0.000");
        line += "|" + TextOr(c(10), "0.0") + "|" + TextOr(c(18), "0.0") + "|" +
                TextOr(c(20), "0.0") + "|" + TextOr(c(21), "0") + "|" + TextOr(c(22), "0.0") + "|" +
                IntToStr(fig.PlaPosition) + "|" + IntToStr(fig.PlaColour) + "|" +
                IntToStr(fig.FreshAir);
        out.push_back(line);
    });
}

// Runs a writer into lines, then puts the file in place; a stop shows its
// message and writes nothing.
template <class TWrite> void Export(const std::string& fileName, TWrite write) {
    ExportWrittenFlag() = 0;
    TLineSink lines;
    try {
        write(lines);
    } catch (const TExportStop& stop) {
        MessageBox(stop.Message, "", TMsgButtons::Ok, TMsgIcon::Information);
        return;
    } catch (const EConvertError& e) {
        MessageBox(e.Message(), "", TMsgButtons::Ok, TMsgIcon::Error);
        return;
    }
    TTextFileWriter file(fileName);
    for (const std::string& line : lines) file.WriteLine(line);
    if (file.Commit()) ExportWrittenFlag() = 1;
}

} // namespace

uint8_t& ExportWrittenFlag() {
    static uint8_t flag = 0;
    return flag;
}

void WriteTreskText(const std::string& fileName, const TNetworkTables& t,
                    const TExchangePlan& plan) {
    Export(fileName, [&](TLineSink& out) {
        const TExtent e = PlanExtent(plan);
        // A drawing without nodes has no extent: 0 by 0.
        const int width = e.Any ? 10 * static_cast<int>(Round(1.1 * (e.MaxX - e.MinX) / 100.0)) : 0;
        const int height =
            e.Any ? 10 * static_cast<int>(Round(1.1 * (e.MaxY - e.MinY) / 100.0)) : 0;
        out.push_back("99|\"1.0\"");
        out.push_back("0|" + Quoted(t.NameSh) + "|" + Quoted(t.NameVar) + "|" + IntToStr(width) +
                      "|" + IntToStr(height));
        WriteTreskBranches(t, plan, out);
        for (const auto& n : plan.Nodes) {
            if (n.Number < 1) continue;
            const int row = NodeRowOf(t, n.Number);
            const std::string elevation = row < 0 ? "0.0" : TextOr(t.TablDavl.Cells(4, row), "0.0");
            const std::string kind = n.Surface ? "1" : "0";
            out.push_back("2|" + IntToStr(n.Number) + "|" + IntToStr(Round((n.X - e.MinX) / 10.0)) +
                          "|" + IntToStr(Round((e.MaxY - n.Y) / 10.0)) + "|" + elevation + "|" +
                          kind + "|" + kind);
        }
        for (const auto& bends : plan.PolylineBends)
            for (const auto& [x, y] : bends.Points)
                out.push_back("3|" + IntToStr(bends.BranchNumber) + "|" +
                              IntToStr(Round((x - e.MinX) / 10.0)) + "|" +
                              IntToStr(Round((e.MaxY - y) / 10.0)));
    });
}

void WriteVeltorText(const std::string& fileName, const TNetworkTables& t,
                     const TExchangePlan& plan) {
    Export(fileName, [&](TLineSink& out) {
        const TExtent e = PlanExtent(plan);
        out.push_back("99|\"1.0\"");
        out.push_back("0|" + Quoted(t.NameSh) + "|" + Quoted(t.NameVar));
        WriteVeltorBranches(t, plan, out);
        for (const auto& n : plan.Nodes) {
            if (n.Number < 1) continue;
            const int row = NodeRowOf(t, n.Number);
            std::string fields = "0|0|0.0";
            if (row >= 0) {
                const TModGrid& d = t.TablDavl;
                fields = TextOr(d.Cells(5, row), "0") + "|" + TextOr(d.Cells(6, row), "0") + "|" +
                         TextOr(d.Cells(4, row), "0.0");
            }
            out.push_back("2|" + IntToStr(n.Number) + "|" + IntToStr(int64_t{n.X} - e.MinX) + "|" +
                          IntToStr(int64_t{e.MaxY} - n.Y) + "|" + fields + "|" +
                          (n.Surface ? "1" : "0"));
        }
    });
}

} // namespace arv
