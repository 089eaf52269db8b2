// The library's binary streams, the line reader and writer over them that
// the text forms use, and small helpers on 8-bit text.
#pragma once

#include "graphlib/GraphErrors.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace arv::graphlib {

class TVStream;

// Told after every read of a stream it is attached to.
class TVStreamReadHook {
public:
    virtual ~TVStreamReadHook() = default;
    virtual void AfterRead(TVStream& stream, int32_t bytesRead) = 0;
};

// Abstract binary stream. Integers are written little-endian; strings carry
// an int32 length prefix. Readers check every length against what is left, so
// a damaged stream raises "Read after end error" instead of allocating blindly.
class TVStream : public TObject {
public:
    const char* ClassName() const override { return "TVStream"; }

    TVStreamReadHook* ReadHook = nullptr;

    virtual int32_t GetPosition() const = 0;
    virtual int32_t GetSize() const = 0;
    virtual void SetSize(int32_t n) = 0;
    virtual void Seek(int32_t position) = 0;
    virtual bool EndOfStream() const { return GetPosition() >= GetSize(); }
    virtual void Write(const void* buffer, int32_t n) = 0;
    // Bytes actually read (fewer at the end of the stream).
    virtual int32_t Read(void* buffer, int32_t n) = 0;
    // Looks for the pattern within the next maxBytes bytes; when found the
    // position is the start of the match, otherwise it is restored.
    virtual bool SearchBytes(const void* pattern, int32_t n, int32_t maxBytes);

    void WriteByte(uint8_t value);
    void WriteInt32(int32_t value);
    void WriteString(std::string_view s);
    void WriteWideString(std::u16string_view s);
    void ReadExact(void* buffer, int32_t n);
    uint8_t ReadByte();
    int32_t ReadInt32();
    std::string ReadString();
    std::u16string ReadWideString();

    int32_t Remaining() const;
    // Raises "Read after end error" when fewer than n bytes are left, so a
    // reader can refuse a damaged length before it allocates.
    void CheckRemaining(int64_t n) const;

protected:
    // "Class <name>:" + line break + text.
    [[noreturn]] void Error(std::string_view text) const;
    [[noreturn]] void Error(std::string_view text, long long arg) const;
};

class TVBaseMemStream : public TVStream {
public:
    TVBaseMemStream() = default;
    ~TVBaseMemStream() override;
    TVBaseMemStream(const TVBaseMemStream&) = delete;
    TVBaseMemStream& operator=(const TVBaseMemStream&) = delete;

    const char* ClassName() const override { return "TVBaseMemStream"; }

    int32_t GetPosition() const override { return FPosition; }
    int32_t GetSize() const override { return FSize; }
    void SetSize(int32_t n) override;
    void Seek(int32_t position) override;
    void Write(const void* buffer, int32_t n) override;
    int32_t Read(void* buffer, int32_t n) override;
    // Rounded up to a multiple of 4; a negative capacity raises
    // "Error in parameters".
    virtual void SetCapacity(int32_t n);

    int32_t Capacity() const { return FCapacity; }
    const uint8_t* Memory() const { return FMemory; }

protected:
    uint8_t* FMemory = nullptr;
    int32_t FPosition = 0;
    int32_t FSize = 0;
    int32_t FCapacity = 0;
};

class TVMemStream : public TVBaseMemStream {
public:
    const char* ClassName() const override { return "TVMemStream"; }
};

// Text lines over a stream: CR LF on write; CR LF, LF or a lone CR end a line
// on read.
void WriteLine(TVStream& stream, std::string_view text);
std::string ReadLine(TVStream& stream);
std::string ReadTrimmedLine(TVStream& stream);
bool EndOfText(const TVStream& stream);

// Helpers on 8-bit text; positions are 0-based, -1 when absent.
int32_t CharCount(std::string_view s, char c);
bool IsAsciiText(std::u16string_view s);
int32_t CharPos(char c, std::string_view s, int32_t start);
std::string QuoteStr(std::string_view s, char quote);
std::string QuotedStr(std::string_view s);
// Removes enclosing apostrophes or double quotes and undoubles the inner
// ones; other texts come back unchanged.
std::string Dequote(std::string_view s);

} // namespace arv::graphlib
