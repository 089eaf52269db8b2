#include "graphlib/VStream.h"

#include "graphlib/AnsiText.h"
#include "graphlib/ArrayPrimitives.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

namespace arv::graphlib {

namespace {

constexpr std::string_view kReadAfterEnd = "Read after end error";
constexpr std::string_view kSeekError = "Seek error (%d)";

int32_t RoundUp4(int64_t n) {
    return static_cast<int32_t>((n + 3) & ~int64_t{3});
}

} // namespace

// --- TVStream ---------------------------------------------------------------

void TVStream::Error(std::string_view text) const {
    throw EVStream(std::string("Class ") + ClassName() + ":\r\n" + std::string(text));
}

void TVStream::Error(std::string_view text, long long arg) const {
    throw EVStream(std::string("Class ") + ClassName() + ":\r\n" + FormatMessageText(text, arg));
}

int32_t TVStream::Remaining() const {
    return std::max(0, GetSize() - GetPosition());
}

void TVStream::CheckRemaining(int64_t n) const {
    if (n < 0 || n > Remaining()) Error(kReadAfterEnd);
}

bool TVStream::SearchBytes(const void* pattern, int32_t n, int32_t maxBytes) {
    if (n <= 0 || maxBytes < n) return false;
    const int64_t start = GetPosition();
    std::vector<uint8_t> buf(static_cast<size_t>(std::max(2 * n, 32768)));
    const auto bufSize = static_cast<int32_t>(buf.size());
    int64_t bufStart = start; // stream position of buf[0]
    int32_t kept = 0;
    for (;;) {
        int64_t allowed = start + maxBytes - (bufStart + kept);
        auto want = static_cast<int32_t>(std::min<int64_t>(bufSize - kept, allowed));
        int32_t got = want > 0 ? Read(buf.data() + kept, want) : 0;
        int32_t have = kept + got;
        int32_t hit = MemFind(pattern, n, buf.data(), have);
        if (hit >= 0) {
            Seek(static_cast<int32_t>(bufStart + hit));
            return true;
        }
        if (got <= 0) break;
        // Keep the tail that may start a match spanning the refill.
        kept = std::min(n - 1, have);
        std::memmove(buf.data(), buf.data() + have - kept, static_cast<size_t>(kept));
        bufStart += have - kept;
    }
    Seek(static_cast<int32_t>(start));
    return false;
}

void TVStream::WriteByte(uint8_t value) {
    Write(&value, 1);
}

void TVStream::WriteInt32(int32_t value) {
    auto u = static_cast<uint32_t>(value);
    uint8_t b[4] = {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8),
                    static_cast<uint8_t>(u >> 16), static_cast<uint8_t>(u >> 24)};
    Write(b, 4);
}

void TVStream::WriteString(std::string_view s) {
    WriteInt32(static_cast<int32_t>(s.size()));
    Write(s.data(), static_cast<int32_t>(s.size()));
}

void TVStream::WriteWideString(std::u16string_view s) {
    WriteInt32(static_cast<int32_t>(s.size()));
    std::vector<uint8_t> b(s.size() * 2);
    for (size_t i = 0; i < s.size(); ++i) {
        b[2 * i] = static_cast<uint8_t>(s[i]);
        b[2 * i + 1] = static_cast<uint8_t>(s[i] >> 8);
    }
    Write(b.data(), static_cast<int32_t>(b.size()));
}

void TVStream::ReadExact(void* buffer, int32_t n) {
    if (n < 0 || Read(buffer, n) < n) Error(kReadAfterEnd);
}

uint8_t TVStream::ReadByte() {
    uint8_t b;
    ReadExact(&b, 1);
    return b;
}

int32_t TVStream::ReadInt32() {
    uint8_t b[4];
    ReadExact(b, 4);
    return static_cast<int32_t>(uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 |
                                uint32_t{b[3]} << 24);
}

std::string TVStream::ReadString() {
    int32_t n = ReadInt32();
    if (n < 0 || n > Remaining()) Error(kReadAfterEnd);
    std::string s(static_cast<size_t>(n), '\0');
    ReadExact(s.data(), n);
    return s;
}

std::u16string TVStream::ReadWideString() {
    int32_t n = ReadInt32();
    if (n < 0 || n > Remaining() / 2) Error(kReadAfterEnd);
    std::vector<uint8_t> b(static_cast<size_t>(n) * 2);
    ReadExact(b.data(), n * 2);
    std::u16string s(static_cast<size_t>(n), u'\0');
    for (int32_t i = 0; i < n; ++i) s[i] = static_cast<char16_t>(b[2 * i] | (b[2 * i + 1] << 8));
    return s;
}

// --- TVBaseMemStream --------------------------------------------------------

TVBaseMemStream::~TVBaseMemStream() {
    std::free(FMemory);
}

void TVBaseMemStream::SetCapacity(int32_t n) {
    if (n < 0) Error(kErrorInParameters);
    int32_t c = RoundUp4(n);
    if (c == FCapacity) return;
    if (c == 0) {
        std::free(FMemory);
        FMemory = nullptr;
    } else {
        auto* p = static_cast<uint8_t*>(std::realloc(FMemory, static_cast<size_t>(c)));
        if (!p) throw std::bad_alloc();
        if (c > FCapacity) std::memset(p + FCapacity, 0, static_cast<size_t>(c - FCapacity));
        FMemory = p;
    }
    FCapacity = c;
    FSize = std::min(FSize, c);
    FPosition = std::min(FPosition, FSize);
}

void TVBaseMemStream::SetSize(int32_t n) {
    if (n < 0) Error(kErrorInParameters);
    if (n > FCapacity) SetCapacity(n);
    if (n > FSize) std::memset(FMemory + FSize, 0, static_cast<size_t>(n - FSize));
    FSize = n;
    FPosition = std::min(FPosition, FSize);
}

void TVBaseMemStream::Seek(int32_t position) {
    if (position < 0 || position > FSize) Error(kSeekError, position);
    FPosition = position;
}

void TVBaseMemStream::Write(const void* buffer, int32_t n) {
    if (n <= 0) return;
    int64_t end = int64_t{FPosition} + n;
    if (end > std::numeric_limits<int32_t>::max() - 3) Error(kErrorInParameters);
    if (end > FCapacity) {
        int64_t inc;
        if (FCapacity < 65)
            inc = 16;
        else if (FCapacity <= 1048576)
            inc = FCapacity / 4;
        else
            inc = FCapacity / 8 + 131072;
        int64_t c = std::max<int64_t>(FCapacity + inc, end);
        c = std::min<int64_t>(c, std::numeric_limits<int32_t>::max() - 3);
        SetCapacity(static_cast<int32_t>(c));
    }
    std::memcpy(FMemory + FPosition, buffer, static_cast<size_t>(n));
    FPosition = static_cast<int32_t>(end);
    FSize = std::max(FSize, FPosition);
}

int32_t TVBaseMemStream::Read(void* buffer, int32_t n) {
    int32_t k = std::max(0, std::min(n, FSize - FPosition));
    if (k > 0) std::memcpy(buffer, FMemory + FPosition, static_cast<size_t>(k));
    FPosition += k;
    if (ReadHook) ReadHook->AfterRead(*this, k);
    return k;
}

// --- Lines and text helpers -------------------------------------------------

void WriteLine(TVStream& stream, std::string_view text) {
    stream.Write(text.data(), static_cast<int32_t>(text.size()));
    stream.Write("\r\n", 2);
}

std::string ReadLine(TVStream& stream) {
    std::string line;
    char c;
    while (stream.Read(&c, 1) == 1) {
        if (c == '\n') break;
        if (c == '\r') {
            char next;
            if (stream.Read(&next, 1) == 1 && next != '\n') stream.Seek(stream.GetPosition() - 1);
            break;
        }
        line += c;
    }
    return line;
}

std::string ReadTrimmedLine(TVStream& stream) {
    return TrimText(ReadLine(stream));
}

bool EndOfText(const TVStream& stream) {
    return stream.EndOfStream();
}

int32_t CharCount(std::string_view s, char c) {
    return static_cast<int32_t>(std::count(s.begin(), s.end(), c));
}

bool IsAsciiText(std::u16string_view s) {
    return std::all_of(s.begin(), s.end(), [](char16_t u) { return u < 128; });
}

int32_t CharPos(char c, std::string_view s, int32_t start) {
    if (start < 0) start = 0;
    if (start >= static_cast<int32_t>(s.size())) return -1;
    auto p = s.find(c, static_cast<size_t>(start));
    return p == std::string_view::npos ? -1 : static_cast<int32_t>(p);
}

std::string QuoteStr(std::string_view s, char quote) {
    std::string r(1, quote);
    for (char c : s) {
        r += c;
        if (c == quote) r += c;
    }
    r += quote;
    return r;
}

std::string QuotedStr(std::string_view s) {
    return QuoteStr(s, '\'');
}

std::string Dequote(std::string_view s) {
    if (s.size() < 2) return std::string(s);
    char q = s.front();
    if ((q != '\'' && q != '"') || s.back() != q) return std::string(s);
    std::string r;
    std::string_view inner = s.substr(1, s.size() - 2);
    for (size_t i = 0; i < inner.size(); ++i) {
        r += inner[i];
        if (inner[i] == q && i + 1 < inner.size() && inner[i + 1] == q) ++i;
    }
    return r;
}

} // namespace arv::graphlib
