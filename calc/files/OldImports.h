// Network data of older sources into the branch and fan tables: the DOS data
// files ".ids" with their fan file ".idv" (DOS text, CP866), the two text
// formats of the mining-rescue institute (".dat" and ".dt") and the dBASE
// branch tables of the other institute. Each reader checks the whole file
// before it writes a cell: a damaged file changes nothing and says why. A
// table an import fills keeps no row of the data before it, and shows its
// rows as a save and reopen of the data will give them back.
#pragma once

#include "calc/model/CalcModel.h"
#include "calc/model/NetworkTables.h"

#include "platform/DbfTable.h"

#include <string>
#include <vector>

namespace arv {

enum class TImportStatus {
    Read,
    NotOpened, // the file could not be opened (tried twice)
    Damaged,   // the file was read but does not hold what it should; nothing changed
};

struct TImportResult {
    TImportStatus Status = TImportStatus::NotOpened;
    std::string Error; // CP1251, for Damaged
    // Messages the import shows in this order once it is done (CP1251).
    std::vector<std::string> Warnings;
};

// ".ids" and, when there is one, ".idv" beside it. A missing or unreadable
// ".idv" leaves the fan table as it was.
TImportResult ImportDosFiles(const std::string& idsName, TNetworkTables& t,
                             const TCalcOptions& options);
TImportResult ImportTrovelDatFile(const std::string& fileName, TNetworkTables& t);
// Fans are fitted with the two-point form when options position 6 is '2'.
TImportResult ImportTrovelDtFile(const std::string& fileName, TNetworkTables& t,
                                 const TCalcOptions& options);

// The fields a branch table of the dBASE source must have.
std::vector<std::string> MissingOrnalFields(const TDbfTable& table);
// The grid title of a field ("" for fields the source does not name).
std::string OrnalFieldTitle(std::string_view field);
// A value as the table holds it: numbers with a decimal comma.
std::string OrnalFieldText(const TDbfTable& table, int record, int field);
// Every record into branch rows from row 2 (fan branches also into fan rows
// from row 2); the row counts follow the last rows written.
void TransferOrnalTable(const TDbfTable& table, TNetworkTables& t);

} // namespace arv
