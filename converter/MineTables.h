// What the converter reads from a binary mine file: the header, the node and
// branch tables (one entry per node or branch, in file order), the four text
// tables and the record lists. One object lives for one conversion.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace halvard {

// Text slots per text table: branch names by position, pipe texts by
// branch number. Slots outside 0..TextSlotCount-1 have no place.
constexpr int TextSlotCount = 10000;

// The slots that hold a text; a missing slot reads as an empty text.
using TTextTable = std::map<int, std::string>;

struct TMineHeader {
    std::array<char, 6> Sign{};
    uint16_t Ver = 0;
    uint32_t HeadSize = 0;
    uint32_t CRC = 0;
    int Lite = -1; // 0 "mkMine", 1 "mkLite", -1 anything else
};

struct TTag {
    uint16_t Tag = 0;
    uint32_t Size = 0;
    uint32_t Extra = 0;
};

struct TMineInfo {
    std::string Name;
    int32_t Value70 = 0;
    int32_t Value74 = 0;
    std::string Text;
};

struct TMineLayer {
    std::string Name;
    int32_t Value64 = 0;
};

struct TFanRecord {
    std::string Name;
    uint16_t Value34 = 0;
    int8_t Value36 = 0;
    int8_t Value37 = 0;
};

struct TPlaLabel {
    int32_t Value0 = 0;
    int32_t Value4 = 0;
    int32_t Value8 = 0;
};

struct TPhone {
    int32_t Value0 = 0;
    int32_t Value4 = 0;
    std::string Digits;
};

struct TPhoneOld {
    int32_t Value0 = 0;
    uint16_t Value4 = 0;
};

struct TBrTurn {
    uint16_t Branch = 0;
    int32_t X = 0;
    int32_t Y = 0;
};

struct TLink {
    int32_t Value0 = 0;
    int32_t Value4 = 0;
    std::string Name;
};

struct TBranchPhone {
    int32_t Value0 = 0;
    int32_t Value4 = 0;
    int32_t Value8 = 0;
    int32_t Value12 = 0;
    std::string Name;
};

struct TMineTables {
    TMineHeader Header;

    // Node tables, sized by the node count tag; empty before it.
    bool NodesCreated = false;
    std::vector<uint16_t> NodeNumbers, NodeX, NodeY;
    std::vector<double> NodeAlt;
    std::vector<uint8_t> NodeExit, NodeSurf;

    // Branch tables, sized by the branch count tag; empty before it.
    bool BranchesCreated = false;
    std::vector<uint16_t> BrNumbers, BrStartN, BrEndN, BrLen, BrPla, BrPeople, BrTag, BrView,
        BrPosDGS;
    std::vector<uint8_t> BrType, BrFresh, BrLayer;
    std::vector<int32_t> BrPLAColors;
    std::vector<double> BrResist, BrAuxDepr, BrAirDebt, BrAlpha, BrStartTemperature,
        BrEndTemperature, BrSquare, BrHeight, BrAngle, BrDepr, BrQtr, BrFixDepr, BrResistZkr,
        BrHmes, BrQmes, BrQnorm, BrVmin, BrVmax;

    TTextTable BrNames, BrCableCell, BrDeGazeCell, BrFireWaterCell;

    TMineInfo MineInfo;
    std::vector<TMineLayer> MineLayer;
    std::vector<TFanRecord> FanList;
    std::vector<TPlaLabel> PLALabels;
    std::vector<TPhone> Phone;
    std::vector<TPhoneOld> PhoneOld;
    std::vector<TBrTurn> BrTurn;
    std::vector<TLink> LinkList;
    std::vector<TBranchPhone> BranchPhone;

    size_t NodeCount() const { return NodeNumbers.size(); }
    size_t BranchCount() const { return BrNumbers.size(); }
};

} // namespace halvard
