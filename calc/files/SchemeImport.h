// Bringing an outside network in with a drawing of it: a binary mine file
// through the converter halvard and its exchange text, or a Tresk export in
// the data file format. Both fill the base data, from which the drawing
// window builds the scheme.
#pragma once

#include "calc/model/CalcModel.h"
#include "calc/model/NetworkTables.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace arv {

struct TBaseNode {
    int32_t Number = 0;
    int32_t X = 0;
    int32_t Y = 0;
    int32_t Surface = 0;
};

// Fields of a branch row of the base data.
enum TBaseBranchField : int {
    kBaseNumber = 0,
    kBaseBeginNode,
    kBaseEndNode,
    kBasePlaPosition,
    kBasePlaColour,
    kBaseTurnIndex,
    kBaseFreshAir,
    kBaseOutsideType,
    kBaseBranchFields
};
using TBaseBranch = std::array<int32_t, kBaseBranchFields>;

struct TBaseTurns {
    int32_t BranchIndex = 0;
    int32_t Count = 0;
    std::vector<std::array<int32_t, 2>> Points; // (x, y)
};

// Nodes with plan positions and branches with their end nodes, names, turn
// points and drawing attributes: what the drawing is built from.
struct TBaseData {
    std::vector<TBaseNode> BaseNodes;
    std::vector<TBaseBranch> BaseBranches;
    std::vector<std::string> BaseBranchNames;
    // Records in use are [0, TurnCount); the vector grows by 10 records.
    std::vector<TBaseTurns> BaseTurns;
    int32_t TurnCount = 0;
    void Clear() { *this = TBaseData(); }
};

TBaseData& BaseData();

// What the import needs of the drawing window.
class ISchemeHost {
public:
    virtual ~ISchemeHost() = default;
    // The drawing emptied as the drawing window's New does it.
    virtual void NewDrawing() = 0;
    // Builds the scheme drawing from BaseData() (and frees it).
    virtual void BuildSchemeFromBase() = 0;
    // The drawing takes the name; caption and plan follow.
    virtual void SchemeImported(const std::string& drawingFileName) = 0;
    virtual void IndexCalcDataGrids() = 0;
    virtual void LinkBranchesToCalcData() = 0;
    // True when the drawing and the tables agree.
    virtual bool CheckSchemeAgainstCalcData() = 0;
};

// The drawing window, installed at start-up; null when there is none.
void InstallSchemeHost(ISchemeHost* host);
ISchemeHost* SchemeHost();

// How the converter is run: program, arguments; the program's exit status,
// or -1 when it could not be started or did not finish in time.
using TConverterRunner =
    std::function<int(const std::string& program, const std::vector<std::string>& args)>;
// Runs the program of the program folder and waits at most a minute.
int RunConverterAndWait(const std::string& program, const std::vector<std::string>& args);

// Imports a binary mine file: ConvertMineFile, then ReadConvertedMineFile.
// Failures are told to the user. True when the scheme was built.
bool ImportMineFile(const std::string& mineFileName, TNetworkTables& t, TCalcContext& c,
                    ISchemeHost& host, const TConverterRunner& run = RunConverterAndWait);

// Converts a binary mine file: "temp.bat" written in the program folder as
// the record of the command, a stale "tresktxt.tresk" removed, the converter
// run and waited for. True when its text is there; a failure is told to the
// user and touches nothing else.
bool ConvertMineFile(const std::string& mineFileName,
                     const TConverterRunner& run = RunConverterAndWait);
// Reads the converted text into the tables, fills the base data from them and
// has the host build the scheme under the mine file's name. Failures are told
// to the user, a text that gives no branch to draw too. True when the scheme
// was built.
bool ReadConvertedMineFile(const std::string& mineFileName, TNetworkTables& t, TCalcContext& c,
                           ISchemeHost& host);
// Reads the converted text into tables of its own and throws them away: true
// when ReadConvertedMineFile will read it. A failure is told to the user as
// that read tells it, so that a caller can keep what it shows until then.
bool ConvertedMineFileReads();

// True when the base data holds a branch whose two end nodes it places, the
// only branches the drawing builds. Otherwise nothing would be drawn: the
// base data are emptied and "Ошибка загрузки документа" told, as the
// drawing tells it, before anything shown was replaced.
bool BaseDataBuildsAScheme();

// The base data of a Tresk export read as a data file (three fields per
// branch row, node positions from columns 4 and 5). A cell that is not an
// integer raises EConvertError; rows without a number are skipped.
void FillBaseFromDataTables(const TNetworkTables& t);

} // namespace arv
