// A zip package built in memory and written in one atomic step, so a
// document on disk is either complete or not there at all.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace arv {

class TZipPackage {
public:
    // Part name inside the package ("word/document.xml") and its bytes.
    void Add(std::string partName, std::string bytes);
    // The package as the bytes of a zip file; false (errorText set) when
    // the archive library refused.
    bool Build(std::string& zipBytes, std::string* errorText = nullptr) const;
    // Builds and writes it to a CP1251 file name.
    bool Write(const std::string& fileName, std::string* errorText = nullptr) const;

private:
    std::vector<std::pair<std::string, std::string>> parts_;
};

// Reads one part of a zip file (tests and checks read packages back);
// false when the file or the part is missing or damaged.
bool ReadZipPart(const std::string& fileName, const std::string& partName, std::string& bytes);
// Names of the parts of a zip file, in the order stored.
std::vector<std::string> ZipPartNames(const std::string& fileName);

} // namespace arv
