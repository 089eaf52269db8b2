// Block operations on raw element arrays, shared by the vectors. Counts are
// element counts unless a name says bytes; a negative count does nothing.
#pragma once

#include <cstdint>

namespace arv::graphlib {

// n bytes equal; a negative n gives false, 0 gives true.
bool MemEqual(const void* a, const void* b, int32_t n);
// Exchanges two byte ranges of n bytes.
void MemSwap(void* a, void* b, int32_t n);
// Byte index of the first occurrence of an n-byte pattern in size bytes, or -1
// (also for an empty pattern).
int32_t MemFind(const void* pattern, int32_t n, const void* data, int32_t size);

void FillDword(void* dst, int32_t count, uint32_t value);
void FillQword(void* dst, int32_t count, uint64_t value);

int32_t CountByte(const void* data, int32_t count, uint8_t value);
int32_t CountDword(const void* data, int32_t count, uint32_t value);
// Doubles compare with floating-point equality (so NaN is never counted).
int32_t CountDouble(const void* data, int32_t count, double value);

// First or last index of a value, or -1.
int32_t IndexOfByte(const void* data, int32_t count, uint8_t value);
int32_t IndexOfDword(const void* data, int32_t count, uint32_t value);
int32_t IndexOfDouble(const void* data, int32_t count, double value);
int32_t LastIndexOfByte(const void* data, int32_t count, uint8_t value);
int32_t LastIndexOfDword(const void* data, int32_t count, uint32_t value);
int32_t LastIndexOfDouble(const void* data, int32_t count, double value);

// Physical memory of the machine in bytes, read once and kept.
uint64_t TotalPhysicalMemory();

} // namespace arv::graphlib
