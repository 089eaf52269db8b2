// A small JSON reader for test data files: objects, arrays, strings (with
// the usual escapes; \u as UTF-8), numbers, true, false and null. Throws
// std::runtime_error with the byte offset on malformed input.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace arv::test {

class TJson {
public:
    enum class Kind { Null, Bool, Number, String, Array, Object };

    static TJson Parse(std::string_view text);

    Kind kind() const { return kind_; }
    bool Has(const std::string& key) const { return object_.count(key) != 0; }
    const TJson& operator[](const std::string& key) const;
    const TJson& operator[](size_t index) const { return array_.at(index); }
    size_t Size() const { return kind_ == Kind::Array ? array_.size() : object_.size(); }
    double Number() const;
    // A number given as text ("12") reads too.
    int Int() const;
    const std::string& Str() const;
    bool Bool() const { return bool_; }
    const std::vector<TJson>& Items() const { return array_; }
    const std::map<std::string, TJson>& Members() const { return object_; }

private:
    friend class TJsonParser;
    Kind kind_ = Kind::Null;
    bool bool_ = false;
    double number_ = 0;
    std::string string_;
    std::vector<TJson> array_;
    std::map<std::string, TJson> object_;
};

} // namespace arv::test
