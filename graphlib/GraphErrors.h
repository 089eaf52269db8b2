// Root object and exceptions of the graph library. The library reports every
// failure by raising; it never shows a message itself.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace arv::graphlib {

// Root of the library's classes: a virtual destructor and the class name that
// error texts carry.
class TObject {
public:
    virtual ~TObject() = default;
    virtual const char* ClassName() const { return "TObject"; }
};

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// Vectors, attribute maps and sets, the graph.
class EVectorError : public Exception {
public:
    using Exception::Exception;
};

// The library's binary streams.
class EVStream : public Exception {
public:
    using Exception::Exception;
};

class ERBTreeError : public Exception {
public:
    using Exception::Exception;
};

class EDicError : public Exception {
public:
    using Exception::Exception;
};

// A text that is not a number of the kind asked for.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// Fills the first "%d" or "%s" of text with the argument; texts without '%'
// are returned as they are.
std::string FormatMessageText(std::string_view text, long long arg);
std::string FormatMessageText(std::string_view text, std::string_view arg);

// "Class <name>: <text>", the form of every vector-family error.
[[noreturn]] void RaiseVectorError(const TObject& object, std::string_view text);
[[noreturn]] void RaiseVectorError(const TObject& object, std::string_view text, long long arg);
[[noreturn]] void RaiseVectorError(const TObject& object, std::string_view text,
                                   std::string_view arg);

// Texts shared by several classes.
inline constexpr std::string_view kWrongVectorSize = "Wrong vector size (%d)";
inline constexpr std::string_view kDataTooLarge = "Data too large (%d)";
inline constexpr std::string_view kAssignError = "Assign error";
inline constexpr std::string_view kMethodNotApplicable = "Method not applicable";
inline constexpr std::string_view kIncompatibleClasses = "Incompatible classes";
inline constexpr std::string_view kErrorInParameters = "Error in parameters";
inline constexpr std::string_view kIndexOutOfBounds = "Index out of bounds (%d)";
inline constexpr std::string_view kWrongElementSize = "Wrong element size (%d)";
inline constexpr std::string_view kDivisionByZero = "Division by zero";
inline constexpr std::string_view kWrongStreamFormat = "Wrong stream format";

} // namespace arv::graphlib
