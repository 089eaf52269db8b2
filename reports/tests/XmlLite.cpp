#include "XmlLite.h"

#include <cstdint>

namespace arv::test {

namespace {

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool Decode(std::string_view s, std::string& out) {
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '&') {
            out += s[i];
            continue;
        }
        size_t semi = s.find(';', i);
        if (semi == s.npos) return false;
        std::string_view e = s.substr(i + 1, semi - i - 1);
        if (e == "amp")
            out += '&';
        else if (e == "lt")
            out += '<';
        else if (e == "gt")
            out += '>';
        else if (e == "quot")
            out += '"';
        else if (e == "apos")
            out += '\'';
        else if (!e.empty() && e[0] == '#') {
            uint32_t cp =
                e.size() > 1 && e[1] == 'x'
                    ? static_cast<uint32_t>(std::stoul(std::string(e.substr(2)), nullptr, 16))
                    : static_cast<uint32_t>(std::stoul(std::string(e.substr(1))));
            AppendUtf8(out, cp);
        } else {
            return false;
        }
        i = semi;
    }
    return true;
}

class TParser {
public:
    explicit TParser(std::string_view s) : s_(s) {}

    std::unique_ptr<TXmlNode> Document() {
        SkipMisc();
        auto root = Element();
        if (!root) return nullptr;
        SkipMisc();
        return pos_ == s_.size() ? std::move(root) : nullptr;
    }

private:
    void SkipSpace() {
        while (pos_ < s_.size() &&
               (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\r' || s_[pos_] == '\n'))
            ++pos_;
    }
    void SkipMisc() {
        for (;;) {
            SkipSpace();
            if (s_.substr(pos_, 2) == "<?") {
                size_t end = s_.find("?>", pos_);
                pos_ = end == s_.npos ? s_.size() : end + 2;
            } else if (s_.substr(pos_, 4) == "<!--") {
                size_t end = s_.find("-->", pos_);
                pos_ = end == s_.npos ? s_.size() : end + 3;
            } else {
                return;
            }
        }
    }
    std::string Name() {
        size_t start = pos_;
        while (pos_ < s_.size() && s_[pos_] != ' ' && s_[pos_] != '>' && s_[pos_] != '/' &&
               s_[pos_] != '=' && s_[pos_] != '\t' && s_[pos_] != '\r' && s_[pos_] != '\n')
            ++pos_;
        return std::string(s_.substr(start, pos_ - start));
    }
    std::unique_ptr<TXmlNode> Element() {
        if (pos_ >= s_.size() || s_[pos_] != '<') return nullptr;
        ++pos_;
        auto node = std::make_unique<TXmlNode>();
        node->Name = Name();
        if (node->Name.empty()) return nullptr;
        for (;;) {
            SkipSpace();
            if (pos_ >= s_.size()) return nullptr;
            if (s_[pos_] == '/') {
                if (s_.substr(pos_, 2) != "/>") return nullptr;
                pos_ += 2;
                return node;
            }
            if (s_[pos_] == '>') {
                ++pos_;
                break;
            }
            std::string attr = Name();
            SkipSpace();
            if (attr.empty() || pos_ >= s_.size() || s_[pos_] != '=') return nullptr;
            ++pos_;
            SkipSpace();
            if (pos_ >= s_.size() || (s_[pos_] != '"' && s_[pos_] != '\'')) return nullptr;
            char q = s_[pos_++];
            size_t end = s_.find(q, pos_);
            if (end == s_.npos) return nullptr;
            std::string value;
            if (!Decode(s_.substr(pos_, end - pos_), value)) return nullptr;
            node->Attrs[attr] = value;
            pos_ = end + 1;
        }
        for (;;) {
            size_t lt = s_.find('<', pos_);
            if (lt == s_.npos) return nullptr;
            if (!Decode(s_.substr(pos_, lt - pos_), node->Text)) return nullptr;
            pos_ = lt;
            if (s_.substr(pos_, 2) == "</") {
                pos_ += 2;
                if (Name() != node->Name) return nullptr;
                SkipSpace();
                if (pos_ >= s_.size() || s_[pos_] != '>') return nullptr;
                ++pos_;
                return node;
            }
            if (s_.substr(pos_, 4) == "<!--") {
                size_t end = s_.find("-->", pos_);
                if (end == s_.npos) return nullptr;
                pos_ = end + 3;
                continue;
            }
            auto child = Element();
            if (!child) return nullptr;
            node->Children.push_back(std::move(child));
        }
    }

    std::string_view s_;
    size_t pos_ = 0;
};

void Collect(const TXmlNode& n, std::string_view name, std::vector<const TXmlNode*>& out) {
    for (const auto& c : n.Children) {
        if (c->Name == name) out.push_back(c.get());
        Collect(*c, name, out);
    }
}

} // namespace

std::string TXmlNode::Attr(const std::string& name) const {
    auto it = Attrs.find(name);
    return it == Attrs.end() ? std::string() : it->second;
}

std::vector<const TXmlNode*> TXmlNode::All(std::string_view name) const {
    std::vector<const TXmlNode*> out;
    for (const auto& c : Children)
        if (c->Name == name) out.push_back(c.get());
    return out;
}

const TXmlNode* TXmlNode::First(std::string_view name) const {
    for (const auto& c : Children)
        if (c->Name == name) return c.get();
    return nullptr;
}

std::vector<const TXmlNode*> TXmlNode::Find(std::string_view name) const {
    std::vector<const TXmlNode*> out;
    Collect(*this, name, out);
    return out;
}

std::string TXmlNode::AllText() const {
    std::string out = Text;
    for (const auto& c : Children) out += c->AllText();
    return out;
}

std::unique_ptr<TXmlNode> ParseXml(std::string_view text) {
    return TParser(text).Document();
}

} // namespace arv::test
