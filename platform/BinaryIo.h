// Little-endian binary records, field by field. The reader works on a byte
// image with a sticky failure flag: a read past the end yields zeros, sets the
// flag and leaves the position at the end, so a reader can check once after a
// group of fields. Sizes read from a file are checked against what is left
// before anything is allocated.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace arv {

class TBinaryReader {
public:
    explicit TBinaryReader(std::string_view bytes) : data_(bytes) {}

    size_t Position() const { return pos_; }
    size_t Size() const { return data_.size(); }
    size_t Remaining() const { return data_.size() - pos_; }
    bool AtEnd() const { return pos_ >= data_.size(); }
    bool Failed() const { return failed_; }
    // Offset at which the first read failed.
    size_t FailurePosition() const { return failPos_; }
    void Fail();

    // Position is clamped; seeking beyond the end fails.
    bool Seek(size_t pos);
    bool Skip(size_t count);

    uint8_t U8();
    int8_t I8();
    uint16_t U16();
    int16_t I16();
    uint32_t U32();
    int32_t I32();
    uint64_t U64();
    int64_t I64();
    float F32();
    double F64();
    // Exactly count bytes, or "" and failure when fewer are left.
    std::string Bytes(size_t count);
    // True when count more bytes are there (checked without reading).
    bool Has(size_t count) const { return !failed_ && count <= Remaining(); }

private:
    bool Take(void* out, size_t n);
    std::string_view data_;
    size_t pos_ = 0;
    bool failed_ = false;
    size_t failPos_ = 0;
};

class TBinaryWriter {
public:
    void U8(uint8_t v) { bytes_.push_back(static_cast<char>(v)); }
    void I8(int8_t v) { U8(static_cast<uint8_t>(v)); }
    void U16(uint16_t v);
    void I16(int16_t v) { U16(static_cast<uint16_t>(v)); }
    void U32(uint32_t v);
    void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
    void U64(uint64_t v);
    void I64(int64_t v) { U64(static_cast<uint64_t>(v)); }
    void F32(float v);
    void F64(double v);
    void Bytes(std::string_view b) { bytes_.append(b); }
    // Zero bytes up to `count` after the text (cut when longer).
    void FixedText(std::string_view text, size_t count);
    // Overwrites 4 bytes at a position written before (size fields).
    void PatchU32(size_t pos, uint32_t v);

    size_t Size() const { return bytes_.size(); }
    const std::string& Data() const { return bytes_; }
    std::string Take() { return std::move(bytes_); }

private:
    std::string bytes_;
};

} // namespace arv
