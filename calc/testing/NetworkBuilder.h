// Filling the network tables from test and benchmark code, row after row, with
// the texts a user would type (decimal commas, CP1251 type codes).
#pragma once

#include "calc/model/NetworkTables.h"

#include <string>
#include <string_view>

namespace arv::test {

class TNetworkBuilder {
public:
    // Empties the branch, fan and node tables of t (no data rows left).
    explicit TNetworkBuilder(TNetworkTables& t);

    // Appends a branch row; typeUtf8 is the type code as UTF-8 source text.
    // Returns the row.
    int Branch(int number, int begin, int end, double resistance, std::string_view typeUtf8 = "");
    // Any cell of a branch row, as typed.
    void BranchCell(int row, int col, std::string_view text);
    int Fan(int number, double a, double b, double c);
    int Node(int node, double elevation, int x = 0, int y = 0);
    // The surface node text "1;25;".
    void Surface(std::initializer_list<int> nodes);

    TNetworkTables& Tables() { return t_; }

private:
    TNetworkTables& t_;
};

// A number as the tables hold it: shortest form, decimal comma.
std::string CellText(double value);

// The data row whose first column holds the number; -1 where none does.
int RowOf(const TModGrid& g, int number);

} // namespace arv::test
