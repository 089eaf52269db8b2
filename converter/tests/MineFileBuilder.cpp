#include "converter/tests/MineFileBuilder.h"

#include "platform/BinaryIo.h"

namespace halvard::test {

TMineFileBuilder& TMineFileBuilder::Header(std::string_view sign, uint16_t ver, uint32_t headSize,
                                           uint32_t crc) {
    arv::TBinaryWriter w;
    w.FixedText(sign, 6);
    w.U16(ver);
    w.U32(headSize);
    w.U32(crc);
    bytes_ += w.Data();
    return *this;
}

TMineFileBuilder& TMineFileBuilder::Tag(uint16_t tag, uint32_t size, uint32_t extra) {
    arv::TBinaryWriter w;
    w.U16(tag);
    w.U32(size);
    w.U32(extra);
    bytes_ += w.Data();
    return *this;
}

TMineFileBuilder& TMineFileBuilder::Raw(std::string_view bytes) {
    bytes_ += bytes;
    return *this;
}

TMineFileBuilder& TMineFileBuilder::Record(uint16_t tag, std::string_view body, uint32_t extra) {
    return Tag(tag, static_cast<uint32_t>(body.size()), extra).Raw(body);
}

TMineFileBuilder& TMineFileBuilder::U8s(uint16_t tag, const std::vector<uint8_t>& values) {
    arv::TBinaryWriter w;
    for (uint8_t v : values) w.U8(v);
    return Record(tag, w.Data());
}

TMineFileBuilder& TMineFileBuilder::U16s(uint16_t tag, const std::vector<uint16_t>& values) {
    arv::TBinaryWriter w;
    for (uint16_t v : values) w.U16(v);
    return Record(tag, w.Data());
}

TMineFileBuilder& TMineFileBuilder::I32s(uint16_t tag, const std::vector<int32_t>& values) {
    arv::TBinaryWriter w;
    for (int32_t v : values) w.I32(v);
    return Record(tag, w.Data());
}

TMineFileBuilder& TMineFileBuilder::F64s(uint16_t tag, const std::vector<double>& values) {
    arv::TBinaryWriter w;
    for (double v : values) w.F64(v);
    return Record(tag, w.Data());
}

TMineFileBuilder& TMineFileBuilder::Text(uint16_t tag, uint16_t slot, std::string_view text) {
    return Record(tag, text, static_cast<uint32_t>(slot) << 16);
}

std::string ShortText(std::string_view text, size_t fieldSize, int lengthByte) {
    arv::TBinaryWriter w;
    w.U8(static_cast<uint8_t>(lengthByte >= 0 ? lengthByte : static_cast<int>(text.size())));
    w.FixedText(text, fieldSize);
    return w.Take();
}

std::string MineInfoBody(std::string_view name, int32_t value70, int32_t value74,
                         std::string_view text) {
    arv::TBinaryWriter w;
    w.Bytes(ShortText(name, 69));
    w.I32(value70);
    w.I32(value74);
    w.FixedText("", 32);
    w.Bytes(ShortText(text, 255));
    return w.Take(); // 366 bytes
}

std::string LayerRecord(std::string_view name, int32_t value64) {
    arv::TBinaryWriter w;
    w.Bytes(ShortText(name, 63));
    w.I32(value64);
    return w.Take(); // 68 bytes
}

std::string FanRecord(std::string_view name, uint16_t value34, int8_t value36, int8_t value37) {
    arv::TBinaryWriter w;
    w.Bytes(ShortText(name, 33));
    w.U16(value34);
    w.I8(value36);
    w.I8(value37);
    return w.Take(); // 38 bytes
}

std::string PlaRecord(int32_t value0, int32_t value4, int32_t value8) {
    arv::TBinaryWriter w;
    w.I32(value0);
    w.I32(value4);
    w.I32(value8);
    return w.Take();
}

std::string PhoneRecord(int32_t value0, int32_t value4, std::string_view digits) {
    arv::TBinaryWriter w;
    w.I32(value0);
    w.I32(value4);
    w.Bytes(ShortText(digits, 15));
    return w.Take(); // 24 bytes
}

std::string PhoneOldRecord(int32_t value0, uint16_t value4) {
    arv::TBinaryWriter w;
    w.I32(value0);
    w.U16(value4);
    return w.Take();
}

std::string TurnRecord(uint16_t branch, int32_t x, int32_t y) {
    arv::TBinaryWriter w;
    w.U16(branch);
    w.I32(x);
    w.I32(y);
    return w.Take();
}

std::string LinkRecord(int32_t value0, int32_t value4, std::string_view name) {
    arv::TBinaryWriter w;
    w.I32(value0);
    w.I32(value4);
    w.Bytes(ShortText(name, 10));
    return w.Take(); // 19 bytes
}

std::string BranchPhoneRecord(int32_t value0, int32_t value4, int32_t value8, int32_t value12,
                              std::string_view name) {
    arv::TBinaryWriter w;
    w.I32(value0);
    w.I32(value4);
    w.I32(value8);
    w.I32(value12);
    w.Bytes(ShortText(name, 15));
    return w.Take(); // 32 bytes
}

} // namespace halvard::test
