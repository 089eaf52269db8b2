// The device library "RvVU.bib" and the fan library "rvVent.bib": one line
// per grid row from the first data row, every cell followed by ';', CP1251
// with CR LF. The binary fan import file of 56-byte records. The fan curve
// H = A·Q² + B·Q + C fitted from measured points.
#pragma once

#include "calc/model/ModGrid.h"

#include <string>

namespace arv {

constexpr int DeviceLibraryColumns = 4;
constexpr int FanLibraryColumns = 11;
constexpr int FanImportRecordSize = 56;

enum class TLibraryKind { Devices, Fans };

// Column counts, two fixed rows and the heading texts.
void PrepareLibraryGrid(TModGrid& grid, TLibraryKind kind);

// Line k of the file goes to row k + 1, the texts in front of each ';' into
// columns 0, 1, ... (beyond the shown columns into hidden cells). The device
// grid gets 5 rows when the file has fewer than 2 lines, else lines + 2; the
// fan grid lines + 2. A file that cannot be read (tried twice) leaves the
// grid as it was: false.
bool ReadLibraryFile(const std::string& fileName, TModGrid& grid, TLibraryKind kind);
// The file's bytes for the grid's data rows and shown columns.
std::string LibraryFileText(const TModGrid& grid);
// Complete or not written at all; false with errorText (CP1251) on failure.
bool WriteLibraryFile(const std::string& fileName, const TModGrid& grid,
                      std::string* errorText = nullptr);

// Record k of the import file into fan library row k + 1: type name (';'
// and line breaks, which the library file cannot carry, as blanks), blade
// angle, coefficients A, B, C (fixed, 4 decimals); the measured points
// emptied; no other data row kept; the grid gets records + 2 rows. A partial
// record at the end is left out. False (grid unchanged, errorText set) when
// the file cannot be read or holds no whole record.
bool ImportFanLibraryFile(const std::string& fileName, TModGrid& grid,
                          std::string* errorText = nullptr);

struct TFanCurve {
    double A = 0, B = 0, C = 0;
};
// The parabola without a linear term through two points; false when the
// flows are equal or opposite (no such parabola).
bool FitFanCurveTwoPoints(double q1, double h1, double q2, double h2, TFanCurve& curve);
// The parabola through three points; false when two flows are equal.
bool FitFanCurveThreePoints(double q1, double h1, double q2, double h2, double q3, double h3,
                            TFanCurve& curve);
// Coefficient texts as the fan tables hold them.
std::string FanCoefAText(double a);
std::string FanCoefBText(double b);
std::string FanCoefCText(double c);

// The row naming the fan type of a library row: the nearest data row at or
// above it with a type name; -1 when there is none (heading rows never count).
int FanTypeRow(const TModGrid& library, int row);
std::string FanTypeName(const TModGrid& library, int row);
// A fan table row (TablVen layout) from a library row: type name, blade
// angle, A, B, C into columns 1 to 5. False when the library row is not a
// data row.
bool FillFanRowFromLibrary(const TModGrid& library, int libraryRow, TModGrid& fans, int fanRow);

} // namespace arv
