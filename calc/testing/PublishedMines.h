// The published real mine networks of the shared benchmarks folder, as the
// network tables of this program. The data lives outside the project; callers
// skip when it is absent.
#pragma once

#include "calc/model/NetworkTables.h"
#include "calc/testing/JsonLite.h"

#include <map>
#include <string>

namespace arv::test {

// The shared benchmarks folder: ARVALEN_BENCHMARKS_DIR, else the one beside
// the source tree.
std::string PublishedBenchmarksDir();

// Reads and parses one file of that folder; false when it cannot be read.
bool LoadPublishedJson(const std::string& name, TJson& out);

// Fills t with one engineering network: every intake a surface node, every
// outlet driven by a fan to a new surface node (the curve that reproduces the
// published outflow); a fan branch with its own resistance becomes a fan plus
// a series working. Returns the published flow of each branch number.
std::map<int, double> BuildPublishedMine(const TJson& net, TNetworkTables& t);

} // namespace arv::test
