#include "graphlib/GraphErrors.h"

namespace arv::graphlib {

namespace {

std::string Fill(std::string_view text, std::string_view placeholder, std::string_view value) {
    std::string s(text);
    auto p = s.find(placeholder);
    if (p != std::string::npos) s.replace(p, placeholder.size(), value);
    return s;
}

std::string Prefixed(const TObject& object, const std::string& text) {
    return std::string("Class ") + object.ClassName() + ": " + text;
}

} // namespace

std::string FormatMessageText(std::string_view text, long long arg) {
    if (text.find('%') == std::string_view::npos) return std::string(text);
    return Fill(text, "%d", std::to_string(arg));
}

std::string FormatMessageText(std::string_view text, std::string_view arg) {
    if (text.find('%') == std::string_view::npos) return std::string(text);
    return Fill(text, "%s", arg);
}

void RaiseVectorError(const TObject& object, std::string_view text) {
    throw EVectorError(Prefixed(object, std::string(text)));
}

void RaiseVectorError(const TObject& object, std::string_view text, long long arg) {
    throw EVectorError(Prefixed(object, FormatMessageText(text, arg)));
}

void RaiseVectorError(const TObject& object, std::string_view text, std::string_view arg) {
    throw EVectorError(Prefixed(object, FormatMessageText(text, arg)));
}

} // namespace arv::graphlib
