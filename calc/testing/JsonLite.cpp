#include "JsonLite.h"

#include <cctype>
#include <charconv>
#include <stdexcept>

namespace arv::test {

class TJsonParser {
public:
    explicit TJsonParser(std::string_view s) : s_(s) {}

    TJson Value() {
        Blanks();
        if (p_ >= s_.size()) Fail("unexpected end");
        char c = s_[p_];
        TJson v;
        if (c == '{') {
            v.kind_ = TJson::Kind::Object;
            ++p_;
            Blanks();
            if (Peek('}')) return v;
            do {
                Blanks();
                std::string key = String();
                Blanks();
                Expect(':');
                v.object_[key] = Value();
                Blanks();
            } while (Accept(','));
            Expect('}');
        } else if (c == '[') {
            v.kind_ = TJson::Kind::Array;
            ++p_;
            Blanks();
            if (Peek(']')) return v;
            do v.array_.push_back(Value());
            while ((Blanks(), Accept(',')));
            Expect(']');
        } else if (c == '"') {
            v.kind_ = TJson::Kind::String;
            v.string_ = String();
        } else if (Word("true")) {
            v.kind_ = TJson::Kind::Bool;
            v.bool_ = true;
        } else if (Word("false")) {
            v.kind_ = TJson::Kind::Bool;
        } else if (Word("null")) {
        } else {
            v.kind_ = TJson::Kind::Number;
            size_t start = p_;
            while (p_ < s_.size() &&
                   (std::isdigit(static_cast<unsigned char>(s_[p_])) || s_[p_] == '-' ||
                    s_[p_] == '+' || s_[p_] == '.' || s_[p_] == 'e' || s_[p_] == 'E'))
                ++p_;
            auto r = std::from_chars(s_.data() + start, s_.data() + p_, v.number_);
            if (r.ec != std::errc() || r.ptr != s_.data() + p_) Fail("bad number");
        }
        return v;
    }

    void End() {
        Blanks();
        if (p_ != s_.size()) Fail("text after the value");
    }

private:
    [[noreturn]] void Fail(const char* what) {
        throw std::runtime_error(std::string("JSON: ") + what + " at byte " + std::to_string(p_));
    }
    void Blanks() {
        while (p_ < s_.size() &&
               (s_[p_] == ' ' || s_[p_] == '\n' || s_[p_] == '\r' || s_[p_] == '\t'))
            ++p_;
    }
    bool Accept(char c) {
        if (p_ < s_.size() && s_[p_] == c) {
            ++p_;
            return true;
        }
        return false;
    }
    bool Peek(char c) { return Accept(c); }
    void Expect(char c) {
        if (!Accept(c)) Fail("unexpected character");
    }
    bool Word(std::string_view w) {
        if (s_.substr(p_, w.size()) != w) return false;
        p_ += w.size();
        return true;
    }
    void Utf8(std::string& out, unsigned u) {
        if (u < 0x80) {
            out += static_cast<char>(u);
        } else if (u < 0x800) {
            out += static_cast<char>(0xC0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (u >> 12));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    std::string String() {
        Expect('"');
        std::string out;
        while (true) {
            if (p_ >= s_.size()) Fail("unterminated string");
            char c = s_[p_++];
            if (c == '"') break;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (p_ >= s_.size()) Fail("unterminated escape");
            char e = s_[p_++];
            switch (e) {
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'u': {
                if (p_ + 4 > s_.size()) Fail("short \\u escape");
                unsigned u = 0;
                auto r = std::from_chars(s_.data() + p_, s_.data() + p_ + 4, u, 16);
                if (r.ptr != s_.data() + p_ + 4) Fail("bad \\u escape");
                p_ += 4;
                Utf8(out, u);
                break;
            }
            default:
                out += e;
                break;
            }
        }
        return out;
    }

    std::string_view s_;
    size_t p_ = 0;
};

TJson TJson::Parse(std::string_view text) {
    TJsonParser p(text);
    TJson v = p.Value();
    p.End();
    return v;
}

const TJson& TJson::operator[](const std::string& key) const {
    auto it = object_.find(key);
    if (it == object_.end()) throw std::runtime_error("JSON: no member " + key);
    return it->second;
}

double TJson::Number() const {
    if (kind_ != Kind::Number) throw std::runtime_error("JSON: not a number");
    return number_;
}

int TJson::Int() const {
    if (kind_ == Kind::Number) return static_cast<int>(number_);
    if (kind_ == Kind::String) return std::stoi(string_);
    throw std::runtime_error("JSON: not an integer");
}

const std::string& TJson::Str() const {
    if (kind_ != Kind::String) throw std::runtime_error("JSON: not a string");
    return string_;
}

} // namespace arv::test
