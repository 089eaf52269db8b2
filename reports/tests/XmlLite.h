// A small XML reader for reading written documents back in the tests:
// elements with attributes, text and children; entities decoded.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace arv::test {

struct TXmlNode {
    std::string Name;
    std::map<std::string, std::string> Attrs;
    std::string Text; // character data directly inside, concatenated
    std::vector<std::unique_ptr<TXmlNode>> Children;

    std::string Attr(const std::string& name) const;
    // Direct children of that name.
    std::vector<const TXmlNode*> All(std::string_view name) const;
    const TXmlNode* First(std::string_view name) const;
    // Every descendant of that name, document order.
    std::vector<const TXmlNode*> Find(std::string_view name) const;
    // All character data below, concatenated.
    std::string AllText() const;
};

// Null when the text is not well-formed as far as this reader checks.
std::unique_ptr<TXmlNode> ParseXml(std::string_view text);

} // namespace arv::test
