// The converter program: "Halvard.exe <minefile> <txtfile> [-v]" reads a
// binary mine file and writes its exchange text. Exit code 0 on success and
// for the usage text, 2 when the input cannot be opened or read, holds no
// record of a mine file, or the output cannot be written; on 2 the output
// file is not written at all (an existing one stays as it was).
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace halvard {

// args[0] is the program name, as in main's argv.
int RunHalvard(const std::vector<std::string>& args, std::ostream& console);

} // namespace halvard
