// Builds binary mine files byte by byte: the 16-byte header, tag headers with
// whatever size and extra a test wants, and bodies of every record layout.
// Bodies are encoded here field by field, independently of the converter.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace halvard::test {

enum TMineTag : uint16_t {
    TagNodeNumbers = 1,
    TagNodeX = 2,
    TagNodeY = 3,
    TagNodeAlt = 4,
    TagNodeExit = 5,
    TagNodeSurf = 6,
    TagBrNumbers = 7,
    TagBrStartN = 8,
    TagBrEndN = 9,
    TagBrLen = 10,
    TagBrPla = 11,
    TagBrPeople = 12,
    TagBrResist = 13,
    TagBrAuxDepr = 14,
    TagBrAirDebt = 15,
    TagBrAlpha = 16,
    TagBrStartTemperature = 17,
    TagBrEndTemperature = 18,
    TagBrSquare = 19,
    TagBrHeight = 20,
    TagBrAngle = 21,
    TagBrTag = 22,
    TagBrView = 23,
    TagBrType = 24,
    TagBrPosDGS = 25,
    TagBrName = 26,
    TagBrFresh = 27,
    TagBrPLAColors = 28,
    TagBrDepr = 29,
    TagBrQtr = 30,
    TagBrTurn = 31,
    TagMineInfo = 32,
    TagMineLayer = 33,
    TagNodeLogical = 34,
    TagFanList = 35,
    TagBrLayer = 36,
    TagBrFixDepr = 37,
    TagBrResistZkr = 38,
    TagBrHmes = 39,
    TagBrQmes = 40,
    TagBrQnorm = 41,
    TagSymbolPlace = 42,
    TagPLALabels = 43,
    TagPhone = 44,
    TagBrVmin = 45,
    TagBrVmax = 46,
    TagPhoneOld = 47,
    TagLinkList = 48,
    TagBrCableCell = 49,
    TagBrDeGazeCell = 50,
    TagBrFireWaterCell = 51,
    TagBranchPhone = 55,
};

class TMineFileBuilder {
public:
    TMineFileBuilder& Header(std::string_view sign = "mkMine", uint16_t ver = 1,
                             uint32_t headSize = 16, uint32_t crc = 0);
    // A bare tag header; the body, if any, follows with Raw.
    TMineFileBuilder& Tag(uint16_t tag, uint32_t size, uint32_t extra = 0);
    TMineFileBuilder& Raw(std::string_view bytes);
    // A tag whose size is its body's length.
    TMineFileBuilder& Record(uint16_t tag, std::string_view body, uint32_t extra = 0);
    TMineFileBuilder& U8s(uint16_t tag, const std::vector<uint8_t>& values);
    TMineFileBuilder& U16s(uint16_t tag, const std::vector<uint16_t>& values);
    TMineFileBuilder& I32s(uint16_t tag, const std::vector<int32_t>& values);
    TMineFileBuilder& F64s(uint16_t tag, const std::vector<double>& values);
    // A text tag (26, 49 to 51) with its slot in the upper half of Extra.
    TMineFileBuilder& Text(uint16_t tag, uint16_t slot, std::string_view text);

    const std::string& Bytes() const { return bytes_; }
    size_t Size() const { return bytes_.size(); }

private:
    std::string bytes_;
};

// Record bodies. ShortText is a length byte and the text padded with zeros
// to the field; a given lengthByte is stored in place of the true length.
std::string ShortText(std::string_view text, size_t fieldSize, int lengthByte = -1);
std::string MineInfoBody(std::string_view name, int32_t value70, int32_t value74,
                         std::string_view text);
std::string LayerRecord(std::string_view name, int32_t value64);
std::string FanRecord(std::string_view name, uint16_t value34, int8_t value36, int8_t value37);
std::string PlaRecord(int32_t value0, int32_t value4, int32_t value8);
std::string PhoneRecord(int32_t value0, int32_t value4, std::string_view digits);
std::string PhoneOldRecord(int32_t value0, uint16_t value4);
std::string TurnRecord(uint16_t branch, int32_t x, int32_t y);
std::string LinkRecord(int32_t value0, int32_t value4, std::string_view name);
std::string BranchPhoneRecord(int32_t value0, int32_t value4, int32_t value8, int32_t value12,
                              std::string_view name);

} // namespace halvard::test
