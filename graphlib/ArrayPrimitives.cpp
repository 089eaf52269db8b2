#include "graphlib/ArrayPrimitives.h"

#include <algorithm>
#include <cstring>
#include <unistd.h>

namespace arv::graphlib {

namespace {

// Elements are read with memcpy: callers pass byte offsets that need not be
// aligned for the element type.
template <class T> T Load(const void* data, int32_t i) {
    T v;
    std::memcpy(&v, static_cast<const unsigned char*>(data) + static_cast<size_t>(i) * sizeof(T),
                sizeof(T));
    return v;
}

template <class T> void Store(void* data, int32_t i, T v) {
    std::memcpy(static_cast<unsigned char*>(data) + static_cast<size_t>(i) * sizeof(T), &v,
                sizeof(T));
}

template <class T> int32_t CountOfT(const void* data, int32_t count, T value) {
    int32_t n = 0;
    for (int32_t i = 0; i < count; ++i)
        if (Load<T>(data, i) == value) ++n;
    return n;
}

template <class T> int32_t IndexOfT(const void* data, int32_t count, T value) {
    for (int32_t i = 0; i < count; ++i)
        if (Load<T>(data, i) == value) return i;
    return -1;
}

template <class T> int32_t LastIndexOfT(const void* data, int32_t count, T value) {
    for (int32_t i = count - 1; i >= 0; --i)
        if (Load<T>(data, i) == value) return i;
    return -1;
}

} // namespace

bool MemEqual(const void* a, const void* b, int32_t n) {
    if (n < 0) return false;
    if (n == 0) return true;
    return std::memcmp(a, b, static_cast<size_t>(n)) == 0;
}

void MemSwap(void* a, void* b, int32_t n) {
    auto* pa = static_cast<unsigned char*>(a);
    auto* pb = static_cast<unsigned char*>(b);
    for (int32_t i = 0; i < n; ++i) std::swap(pa[i], pb[i]);
}

int32_t MemFind(const void* pattern, int32_t n, const void* data, int32_t size) {
    if (n <= 0 || size < n) return -1;
    const auto* d = static_cast<const unsigned char*>(data);
    const auto* p = static_cast<const unsigned char*>(pattern);
    const auto* hit = std::search(d, d + size, p, p + n);
    return hit == d + size ? -1 : static_cast<int32_t>(hit - d);
}

void FillDword(void* dst, int32_t count, uint32_t value) {
    for (int32_t i = 0; i < count; ++i) Store(dst, i, value);
}

void FillQword(void* dst, int32_t count, uint64_t value) {
    for (int32_t i = 0; i < count; ++i) Store(dst, i, value);
}

int32_t CountByte(const void* data, int32_t count, uint8_t value) {
    return CountOfT(data, count, value);
}
int32_t CountDword(const void* data, int32_t count, uint32_t value) {
    return CountOfT(data, count, value);
}
int32_t CountDouble(const void* data, int32_t count, double value) {
    return CountOfT(data, count, value);
}

int32_t IndexOfByte(const void* data, int32_t count, uint8_t value) {
    if (count <= 0) return -1;
    const void* hit = std::memchr(data, value, static_cast<size_t>(count));
    return hit ? static_cast<int32_t>(static_cast<const unsigned char*>(hit) -
                                      static_cast<const unsigned char*>(data))
               : -1;
}
int32_t IndexOfDword(const void* data, int32_t count, uint32_t value) {
    return IndexOfT(data, count, value);
}
int32_t IndexOfDouble(const void* data, int32_t count, double value) {
    return IndexOfT(data, count, value);
}
int32_t LastIndexOfByte(const void* data, int32_t count, uint8_t value) {
    return LastIndexOfT(data, count, value);
}
int32_t LastIndexOfDword(const void* data, int32_t count, uint32_t value) {
    return LastIndexOfT(data, count, value);
}
int32_t LastIndexOfDouble(const void* data, int32_t count, double value) {
    return LastIndexOfT(data, count, value);
}

uint64_t TotalPhysicalMemory() {
    static const uint64_t total = [] {
        long pages = sysconf(_SC_PHYS_PAGES);
        long pageSize = sysconf(_SC_PAGESIZE);
        if (pages <= 0 || pageSize <= 0) return uint64_t{0};
        return static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize);
    }();
    return total;
}

} // namespace arv::graphlib
