#include "converter/tests/SampleMine.h"

#include "converter/tests/MineFileBuilder.h"
#include "platform/Cp1251.h"

#include <fstream>

namespace halvard::test {

using arv::Ru;

std::string BuildSampleMine() {
    TMineFileBuilder b;
    b.Header("mkMine", 0x0003, 16, 0xDEADBEEF);
    b.Record(TagMineInfo, MineInfoBody(Ru("Шахта \"Восточная\""), 1, -2, Ru("Вариант 2024")));
    b.Record(TagMineLayer, LayerRecord(Ru("Горизонт -300"), 1) + LayerRecord(Ru("Слой \"Б\""), 7));

    // Node 4 has an X beyond the signed 16-bit range.
    b.U16s(TagNodeNumbers, {1, 2, 3, 4});
    b.U16s(TagNodeX, {100, 200, 300, 40000});
    b.U16s(TagNodeY, {10, 20, 30, 40});
    b.F64s(TagNodeAlt, {-300.5, -310.25, 0, 12.125});
    b.U8s(TagNodeExit, {0, 0, 0, 1});
    b.U8s(TagNodeSurf, {1, 0, 0, 0});
    // Overrides both flag tables: node 3 becomes an exit on the surface.
    b.U16s(TagNodeLogical, {2, 0, 3, 1});

    b.U16s(TagBrNumbers, {10, 11, 12});
    b.U16s(TagBrStartN, {1, 2, 3});
    b.U16s(TagBrEndN, {2, 3, 4});
    b.U16s(TagBrLen, {150, 75, 40000});
    b.U16s(TagBrPla, {1, 0, 3});
    b.U16s(TagBrPeople, {5, 0, 12});
    b.F64s(TagBrResist, {0.125, 2.5, 0.1234567});
    b.F64s(TagBrAuxDepr, {1500, 0, 0});
    b.F64s(TagBrAirDebt, {45.5, 20.25, -3.75});
    b.F64s(TagBrAlpha, {0.5, 0, 1});
    b.F64s(TagBrStartTemperature, {12, 14.5, 15});
    b.F64s(TagBrEndTemperature, {13, 15, 16.75});
    b.F64s(TagBrSquare, {12.5, 8, 0});
    b.F64s(TagBrHeight, {3.5, 2.75, 0});
    b.F64s(TagBrAngle, {0, -12.5, 30});
    // Branch 10 has all three pipe bits; branch 12 only fire water in its
    // low byte (0x0104).
    b.U16s(TagBrTag, {44, 0, 0x0104});
    b.U16s(TagBrView, {1, 2, 65535});
    b.U8s(TagBrType, {0, 1, 200});
    b.U16s(TagBrPosDGS, {0, 7, 300});
    b.Text(TagBrName, 1, Ru("Ствол \"Главный\""));
    b.Text(TagBrName, 3, Ru("Штрек 2"));
    b.U8s(TagBrFresh, {1, 0, 1});
    b.I32s(TagBrPLAColors, {255, -1, 65280});
    b.F64s(TagBrDepr, {281.25, 15.5, 0});
    b.F64s(TagBrQtr, {50, 20, 0});
    b.Record(TagBrTurn, TurnRecord(12, 305, 31) + TurnRecord(12, 350, 36) + TurnRecord(12, -5, 38) +
                            TurnRecord(10, 150, 15));
    b.Record(TagFanList, FanRecord(Ru("ВОД-21"), 750, -3, 5));
    b.U8s(TagBrLayer, {0, 1, 255});
    b.F64s(TagBrFixDepr, {0, 0, 25.5});
    b.F64s(TagBrResistZkr, {0, 100, 0});
    b.F64s(TagBrHmes, {200.5, 0, 0});
    b.F64s(TagBrQmes, {44.75, 0, 0});
    b.F64s(TagBrQnorm, {45, 20, 3});
    b.Record(TagSymbolPlace, std::string("\x01\x02\x03\x04\x05", 5));
    b.Record(TagPLALabels, PlaRecord(1, 2, 3) + PlaRecord(-10, 20, 7));
    b.Record(TagPhone, PhoneRecord(101, 202, "2345"));
    b.F64s(TagBrVmin, {0.25, 0.25, 0});
    b.F64s(TagBrVmax, {8, 6, 4});
    b.Record(TagPhoneOld, PhoneOldRecord(5, 65535));
    b.Record(TagLinkList, LinkRecord(3, 4, Ru("Связь")));
    b.Text(TagBrCableCell, 10, Ru("Кабель 6 кВ"));
    b.Text(TagBrDeGazeCell, 10, Ru("Труба 300"));
    b.Text(TagBrFireWaterCell, 12, Ru("ППТ 100"));
    std::string unknown(100, '\0');
    for (size_t i = 0; i < unknown.size(); ++i) unknown[i] = static_cast<char>(i * 7);
    b.Record(52, unknown);
    b.Record(TagBranchPhone, BranchPhoneRecord(1, 2, 3, 4, Ru("ТА-1")));
    return b.Bytes();
}

bool WriteSampleMine(const std::filesystem::path& path) {
    const std::string bytes = BuildSampleMine();
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

} // namespace halvard::test
