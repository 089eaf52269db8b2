// Halvard: converts a binary mine file into the exchange text.
#include "converter/Halvard.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv, argv + argc);
    const int code = halvard::RunHalvard(args, std::cout);
    std::cout.flush();
    return code;
}
