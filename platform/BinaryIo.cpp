#include "BinaryIo.h"

#include <cstring>

namespace arv {

void TBinaryReader::Fail() {
    if (!failed_) failPos_ = pos_;
    failed_ = true;
}

bool TBinaryReader::Seek(size_t pos) {
    if (pos > data_.size()) {
        Fail();
        pos_ = data_.size();
        return false;
    }
    pos_ = pos;
    return true;
}

bool TBinaryReader::Skip(size_t count) {
    if (count > Remaining()) {
        Fail();
        pos_ = data_.size();
        return false;
    }
    pos_ += count;
    return true;
}

bool TBinaryReader::Take(void* out, size_t n) {
    if (failed_ || n > Remaining()) {
        Fail();
        pos_ = data_.size();
        std::memset(out, 0, n);
        return false;
    }
    std::memcpy(out, data_.data() + pos_, n);
    pos_ += n;
    return true;
}

uint8_t TBinaryReader::U8() {
    uint8_t b[1];
    Take(b, 1);
    return b[0];
}

int8_t TBinaryReader::I8() {
    return static_cast<int8_t>(U8());
}

uint16_t TBinaryReader::U16() {
    uint8_t b[2];
    Take(b, 2);
    return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

int16_t TBinaryReader::I16() {
    return static_cast<int16_t>(U16());
}

uint32_t TBinaryReader::U32() {
    uint8_t b[4];
    Take(b, 4);
    return static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
           (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

int32_t TBinaryReader::I32() {
    return static_cast<int32_t>(U32());
}

uint64_t TBinaryReader::U64() {
    uint64_t lo = U32();
    uint64_t hi = U32();
    return lo | (hi << 32);
}

int64_t TBinaryReader::I64() {
    return static_cast<int64_t>(U64());
}

float TBinaryReader::F32() {
    uint32_t u = U32();
    float f;
    std::memcpy(&f, &u, 4);
    return f;
}

double TBinaryReader::F64() {
    uint64_t u = U64();
    double d;
    std::memcpy(&d, &u, 8);
    return d;
}

std::string TBinaryReader::Bytes(size_t count) {
    if (failed_ || count > Remaining()) {
        Fail();
        pos_ = data_.size();
        return {};
    }
    std::string s(data_.substr(pos_, count));
    pos_ += count;
    return s;
}

void TBinaryWriter::U16(uint16_t v) {
    U8(static_cast<uint8_t>(v));
    U8(static_cast<uint8_t>(v >> 8));
}

void TBinaryWriter::U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) U8(static_cast<uint8_t>(v >> (8 * i)));
}

void TBinaryWriter::U64(uint64_t v) {
    U32(static_cast<uint32_t>(v));
    U32(static_cast<uint32_t>(v >> 32));
}

void TBinaryWriter::F32(float v) {
    uint32_t u;
    std::memcpy(&u, &v, 4);
    U32(u);
}

void TBinaryWriter::F64(double v) {
    uint64_t u;
    std::memcpy(&u, &v, 8);
    U64(u);
}

void TBinaryWriter::FixedText(std::string_view text, size_t count) {
    std::string field(text.substr(0, count));
    field.resize(count, '\0');
    bytes_.append(field);
}

void TBinaryWriter::PatchU32(size_t pos, uint32_t v) {
    if (pos + 4 > bytes_.size()) return;
    for (int i = 0; i < 4; ++i) bytes_[pos + i] = static_cast<char>(v >> (8 * i));
}

} // namespace arv
