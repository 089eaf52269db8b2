// The pages of a PDF file as its page objects give them.
#pragma once

#include "platform/testing/TestFolder.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace arv::test {

struct TPdfPages {
    int count = 0;
    std::vector<std::pair<double, double>> sizes; // points
};

inline TPdfPages ReadPdfPages(const std::string& name) {
    const std::string bytes = FileBytes(name);
    TPdfPages out;
    for (size_t at = bytes.find("/Type"); at != std::string::npos;
         at = bytes.find("/Type", at + 1)) {
        size_t k = at + 5;
        while (k < bytes.size() && bytes[k] == ' ') ++k;
        if (bytes.compare(k, 5, "/Page") == 0 && k + 5 < bytes.size() && bytes[k + 5] != 's')
            ++out.count;
    }
    for (size_t at = bytes.find("/MediaBox"); at != std::string::npos;
         at = bytes.find("/MediaBox", at + 1)) {
        double x0 = -1, y0 = -1, w = 0, h = 0;
        if (std::sscanf(bytes.c_str() + at, "/MediaBox [%lf %lf %lf %lf]", &x0, &y0, &w, &h) == 4)
            out.sizes.emplace_back(w, h);
    }
    return out;
}

} // namespace arv::test
