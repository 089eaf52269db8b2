// The line files of a data set: the older network data file ".dan" (read
// only), the initial data table ".id" and the reverse-mode variant ".rev".
// One record per line, each field followed by ';', CP1251 with CR LF.
//
// A file that cannot be read is skipped without a message and leaves the
// tables as they were; every writer writes the whole file or nothing.
#pragma once

#include "calc/model/CalcModel.h"
#include "calc/model/NetworkTables.h"

#include <string>
#include <vector>

namespace arv {

// The lines of a text file, CR LF or LF. A file that cannot be opened may be
// held by another program for a moment; it is tried once more before the
// reading gives up.
bool ReadDataLines(const std::string& fileName, std::vector<std::string>& lines);

// Reads a ".dan" file into the tables, the fields and the options, with the
// row rules of the network data text. A line with an unknown tag shows
// "Нверный формат файла" once and is skipped. True when the file was read
// (DataLoadedFlag is then set).
bool LoadNetworkData(const std::string& fileName, TNetworkTables& t, TCalcContext& c);

// ".id": the data tag (options position 5) on the first line, then the rows
// of TablID from row 0, the headings included.
bool LoadIdsTable(const std::string& fileName, TNetworkTables& t, TCalcOptions& options);
// Writes TablID; on success options position 3 becomes 'N' and TablID is no
// longer modified. False when the file could not be written; then nothing
// changes.
bool SaveIdTable(const std::string& fileName, TNetworkTables& t, TCalcOptions& options);

// ".rev": the mine name, the reverse-mode variant name and the rows of
// TablDanRev and TablVenRev. The tables are not emptied first; a line with
// an unknown tag ends the reading. A file written in another flow unit than
// the one in force has its flows written in the one in force.
bool LoadReverseData(const std::string& fileName, TNetworkTables& t);
// Each branch line names the flow unit last. The reverse tables are no
// longer modified only when the file was written.
bool SaveReverseData(const std::string& fileName, TNetworkTables& t);

} // namespace arv
