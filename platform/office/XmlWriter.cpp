#include "platform/office/XmlWriter.h"

namespace arv {

std::string XmlEscape(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (char ch : utf8) {
        auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') break;
            out += ch;
        }
    }
    return out;
}

TXmlWriter::TXmlWriter() {
    out_ = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";
}

void TXmlWriter::EndStartTag() {
    if (startTagOpen_) {
        out_ += '>';
        startTagOpen_ = false;
    }
}

TXmlWriter& TXmlWriter::Open(std::string_view name) {
    EndStartTag();
    out_ += '<';
    out_ += name;
    open_.emplace_back(name);
    startTagOpen_ = true;
    return *this;
}

TXmlWriter& TXmlWriter::Attr(std::string_view name, std::string_view utf8Value) {
    out_ += ' ';
    out_ += name;
    out_ += "=\"";
    out_ += XmlEscape(utf8Value);
    out_ += '"';
    return *this;
}

TXmlWriter& TXmlWriter::Attr(std::string_view name, long long value) {
    return Attr(name, std::to_string(value));
}

TXmlWriter& TXmlWriter::Text(std::string_view utf8) {
    EndStartTag();
    out_ += XmlEscape(utf8);
    return *this;
}

TXmlWriter& TXmlWriter::Close() {
    if (open_.empty()) return *this;
    if (startTagOpen_) {
        out_ += "/>";
        startTagOpen_ = false;
    } else {
        out_ += "</";
        out_ += open_.back();
        out_ += '>';
    }
    open_.pop_back();
    return *this;
}

TXmlWriter& TXmlWriter::Empty(std::string_view name, std::string_view attr,
                              std::string_view value) {
    Open(name);
    if (!attr.empty()) Attr(attr, value);
    return Close();
}

const std::string& TXmlWriter::Finish() {
    while (!open_.empty()) Close();
    return out_;
}

} // namespace arv
