// Exceptions raised by the platform layer. Messages are CP1251 texts that a
// command may show the user as they stand.
#pragma once

#include <stdexcept>
#include <string>

namespace arv {

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// A text that is not a number of the kind asked for, or a bad format string.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// A file that cannot be opened, read or written.
class EInOutError : public Exception {
public:
    using Exception::Exception;
};

} // namespace arv
