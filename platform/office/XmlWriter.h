// A small streaming XML writer for the office packages: elements, attributes
// and escaped text, UTF-8 out. Characters XML 1.0 cannot carry (control codes
// other than TAB, LF and CR) are dropped so that a stray byte typed into a
// table cell cannot make the whole document unreadable.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace arv {

class TXmlWriter {
public:
    // Starts with the XML declaration (standalone="yes").
    TXmlWriter();
    // Opens an element; attributes may follow until content or Close.
    TXmlWriter& Open(std::string_view name);
    TXmlWriter& Attr(std::string_view name, std::string_view utf8Value);
    TXmlWriter& Attr(std::string_view name, long long value);
    // Escaped character data (UTF-8).
    TXmlWriter& Text(std::string_view utf8);
    // Closes the innermost open element (as an empty element when it got no
    // content).
    TXmlWriter& Close();
    // An empty element with up to two attributes, the commonest case.
    TXmlWriter& Empty(std::string_view name, std::string_view attr = {},
                      std::string_view value = {});
    // Every open element closed.
    const std::string& Finish();
    const std::string& Str() const { return out_; }

private:
    void EndStartTag();
    std::string out_;
    std::vector<std::string> open_;
    bool startTagOpen_ = false;
};

// Escapes &, <, >, " and ' and drops characters XML cannot hold.
std::string XmlEscape(std::string_view utf8);

} // namespace arv
