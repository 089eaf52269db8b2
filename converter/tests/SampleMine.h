// A small hand-made mine file for tests and trials: four nodes, three
// branches (branch 10 a fan branch with a quote in its name, branch 11
// without a name, branch 12 with three turn points), pipe texts, and records
// of every other kind, with a tag the converter does not know near the end.
#pragma once

#include <filesystem>
#include <string>

namespace halvard::test {

std::string BuildSampleMine();
// Writes the sample to a file; false when it cannot be written.
bool WriteSampleMine(const std::filesystem::path& path);

} // namespace halvard::test
