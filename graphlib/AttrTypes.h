// Attribute types and the text conversions of attribute values.
//
// References (Pointer, AutoFree, String, WideString) take a pointer-sized
// slot; the other types have their natural sizes and are packed without
// alignment. Float80 keeps the 10-byte x87 extended layout.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace arv::graphlib {

// Type codes: the 1-based position in the table of type names.
namespace AttrType {
inline constexpr uint8_t Int8 = 1;
inline constexpr uint8_t UInt8 = 2;
inline constexpr uint8_t Bool = 3;
inline constexpr uint8_t Char = 4;
inline constexpr uint8_t Int16 = 5;
inline constexpr uint8_t UInt16 = 6;
inline constexpr uint8_t Int32 = 7;
inline constexpr uint8_t UInt32 = 8;
inline constexpr uint8_t Pointer = 9;
inline constexpr uint8_t AutoFree = 10;
inline constexpr uint8_t String = 11;
inline constexpr uint8_t Float32 = 12;
inline constexpr uint8_t Float64 = 13;
inline constexpr uint8_t Float80 = 14;
inline constexpr uint8_t WideString = 15;
inline constexpr uint8_t Last = 15;
} // namespace AttrType

bool IsAttrType(int type);
// "Int8" ... "WideString"; empty for an unknown code.
std::string_view AttrTypeName(int type);
// Stored size in bytes; 0 for an unknown code.
int32_t AttrTypeSize(int type);
// AutoFree, String and WideString values belong to the set that holds them.
bool AttrTypeOwnsMemory(int type);
// Letter case does not matter (ASCII). An unknown name raises Exception
// "AttrTypeByName error: wrong attribute name '<name>'".
uint8_t AttrTypeByName(std::string_view name);

// The runtime's "%g": general format with 15 significant digits and '.' as
// the decimal separator whatever the system setting ("2.5", "1E20",
// "1.5E-7").
std::string FloatToText(long double x);
// Trims the text; '.' is the separator when the text holds one, else ','.
bool TryTextToFloat(std::string_view s, long double& value);
// Raises EConvertError "Can't convert '<s>' to float".
long double TextToFloat(std::string_view s);
// "#" and the decimal code below 32, the character itself otherwise.
std::string CharToText(char c);
// A one-character text, or "#" and a number below 256; anything else raises
// Exception "Illegal character '<s>'".
char TextToChar(std::string_view s);
// A decimal integer with an optional sign (leading blanks allowed); other
// text raises EConvertError "'<s>' is not a valid integer value".
int64_t TextToInteger(std::string_view s);

// The 10-byte extended layout: 64-bit mantissa with explicit integer bit,
// 15-bit biased exponent, sign; little-endian.
void EncodeFloat80(long double x, uint8_t out[10]);
long double DecodeFloat80(const uint8_t in[10]);

} // namespace arv::graphlib
