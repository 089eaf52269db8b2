#include "calc/files/Libraries.h"

#include "calc/model/NetworkTables.h"

#include "platform/BinaryIo.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"

#include <cmath>
#include <vector>

namespace arv {

namespace {

struct THeading {
    const char* top;
    const char* bottom;
};

const THeading kDeviceHeadings[DeviceLibraryColumns] = {
    {"Наименование", ""},
    {"Аэрод.", "сопрот."},
    {"Коэф.аэрод.", "сопротивления"},
    {"Примечание", ""},
};

const THeading kFanHeadings[FanLibraryColumns] = {
    {" Тип ", "вент"}, {"Угол", "лопаток"}, {"Коэф_А", ""}, {"Коэф_В", ""},
    {"Коэф_С", ""},    {" Q1 ", ""},        {" H1 ", ""},   {" Q2 ", ""},
    {" H2 ", ""},      {" Q3 ", ""},        {" H3 ", ""},
};

bool ReadBytesTwice(const std::string& fileName, std::string& bytes) {
    // A file held by another program for a moment gets a second chance.
    return ReadFileBytes(fileName, bytes) || ReadFileBytes(fileName, bytes);
}

// A name as the library file can carry it: ';' would end the cell and a
// line break the row, so each becomes a blank.
std::string LibraryCellText(std::string text) {
    for (char& ch : text)
        if (ch == ';' || ch == '\r' || ch == '\n') ch = ' ';
    return text;
}

} // namespace

void PrepareLibraryGrid(TModGrid& grid, TLibraryKind kind) {
    const bool fans = kind == TLibraryKind::Fans;
    const int cols = fans ? FanLibraryColumns : DeviceLibraryColumns;
    const THeading* headings = fans ? kFanHeadings : kDeviceHeadings;
    grid.BeginUpdate();
    grid.SetColCount(cols);
    if (grid.RowCount() < FirstDataRow + 1) grid.SetRowCount(FirstDataRow + 1);
    grid.SetFixedRows(FirstDataRow);
    grid.SetFixedCols(0);
    for (int c = 0; c < cols; ++c) {
        grid.SetCells(c, 0, Ru(headings[c].top));
        grid.SetCells(c, 1, Ru(headings[c].bottom));
    }
    grid.EndUpdate();
}

bool ReadLibraryFile(const std::string& fileName, TModGrid& grid, TLibraryKind kind) {
    std::string bytes;
    if (!ReadBytesTwice(fileName, bytes)) return false;
    std::vector<std::string> lines = SplitLines(bytes);
    grid.BeginUpdate();
    grid.ClearRowsFrom(FirstDataRow);
    for (size_t k = 0; k < lines.size(); ++k) {
        const std::string& line = lines[k];
        const int row = static_cast<int>(k) + FirstDataRow;
        size_t start = 0;
        int col = 0;
        for (size_t semi = line.find(';'); semi != std::string::npos;
             semi = line.find(';', start)) {
            grid.SetCells(col++, row, std::string_view(line).substr(start, semi - start));
            start = semi + 1;
        }
    }
    const int n = static_cast<int>(lines.size());
    if (kind == TLibraryKind::Devices)
        grid.SetRowCount(n < 2 ? 5 : n + FirstDataRow);
    else
        grid.SetRowCount(n + FirstDataRow);
    grid.EndUpdate();
    return true;
}

std::string LibraryFileText(const TModGrid& grid) {
    std::string text;
    for (int r = FirstDataRow; r < grid.RowCount(); ++r) {
        for (int c = 0; c < grid.ColCount(); ++c) {
            // Also what was typed into the library window.
            text += LibraryCellText(grid.Cells(c, r));
            text += ';';
        }
        text += "\r\n";
    }
    return text;
}

bool WriteLibraryFile(const std::string& fileName, const TModGrid& grid, std::string* errorText) {
    return WriteFileAtomic(fileName, LibraryFileText(grid), errorText);
}

bool ImportFanLibraryFile(const std::string& fileName, TModGrid& grid, std::string* errorText) {
    std::string bytes;
    if (!ReadBytesTwice(fileName, bytes)) {
        if (errorText) *errorText = Ru("Не удалось открыть файл ") + fileName;
        return false;
    }
    const size_t records = bytes.size() / FanImportRecordSize;
    // An import of nothing would empty the library and then be saved over it.
    if (records == 0) {
        if (errorText)
            *errorText = Ru("Файл ") + fileName + Ru(" не содержит записей вентиляторов");
        return false;
    }
    TBinaryReader in(bytes);
    grid.BeginUpdate();
    // No row of the library before stays behind the new last one.
    grid.ClearRowsFrom(FirstDataRow);
    for (size_t k = 0; k < records; ++k) {
        const int row = static_cast<int>(k) + FirstDataRow;
        in.Seek(k * FanImportRecordSize);
        const std::string name = in.Bytes(20);
        const size_t length = std::min<size_t>(static_cast<unsigned char>(name[0]), 19);
        const int32_t angle = in.I32();
        const double a = in.F64(), b = in.F64(), c = in.F64();
        grid.SetCells(0, row, LibraryCellText(name.substr(1, length)));
        grid.SetCells(1, row, IntToStr(angle));
        grid.SetCells(2, row, FloatToStrF(a, TFloatFormat::ffFixed, 8, 4));
        grid.SetCells(3, row, FloatToStrF(b, TFloatFormat::ffFixed, 8, 4));
        grid.SetCells(4, row, FloatToStrF(c, TFloatFormat::ffFixed, 8, 4));
        for (int col = 5; col <= 10; ++col) grid.SetCells(col, row, "");
    }
    grid.SetRowCount(static_cast<int>(records) + FirstDataRow);
    grid.EndUpdate();
    return true;
}

bool FitFanCurveTwoPoints(double q1, double h1, double q2, double h2, TFanCurve& curve) {
    const double d = q2 * q2 - q1 * q1;
    if (d == 0 || !std::isfinite(d)) return false;
    curve.A = (h2 - h1) / d;
    curve.B = 0;
    curve.C = (h1 * q2 * q2 - h2 * q1 * q1) / d;
    return std::isfinite(curve.A) && std::isfinite(curve.C);
}

bool FitFanCurveThreePoints(double q1, double h1, double q2, double h2, double q3, double h3,
                            TFanCurve& curve) {
    if (q1 == q2 || q1 == q3 || q2 == q3) return false;
    const double s2 = (h2 - h1) / (q2 - q1);
    const double s3 = (h3 - h1) / (q3 - q1);
    curve.A = (s2 - s3) / (q2 - q3);
    curve.B = (s3 * (q2 + q1) - s2 * (q3 + q1)) / (q2 - q3);
    curve.C = h1 - curve.A * q1 * q1 - curve.B * q1;
    return std::isfinite(curve.A) && std::isfinite(curve.B) && std::isfinite(curve.C);
}

std::string FanCoefAText(double a) {
    return FormatFloat("#0.00000", a);
}

std::string FanCoefBText(double b) {
    return FormatFloat("##0.00000", b);
}

std::string FanCoefCText(double c) {
    return FormatFloat("###0.000", c);
}

int FanTypeRow(const TModGrid& library, int row) {
    for (int r = row; r >= FirstDataRow; --r)
        if (!library.Cells(0, r).empty()) return r;
    return -1;
}

std::string FanTypeName(const TModGrid& library, int row) {
    int r = FanTypeRow(library, row);
    return r < 0 ? std::string() : library.Cells(0, r);
}

bool FillFanRowFromLibrary(const TModGrid& library, int libraryRow, TModGrid& fans, int fanRow) {
    if (libraryRow < FirstDataRow || fanRow < FirstDataRow) return false;
    fans.BeginUpdate();
    fans.SetCells(1, fanRow, FanTypeName(library, libraryRow));
    for (int c = 1; c <= 4; ++c) fans.SetCells(c + 1, fanRow, library.Cells(c, libraryRow));
    fans.Modified = true;
    fans.EndUpdate();
    return true;
}

} // namespace arv
