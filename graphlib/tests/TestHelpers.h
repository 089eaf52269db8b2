// Small helpers shared by the graph library's tests.
#pragma once

#include "graphlib/GraphErrors.h"

#include <exception>
#include <string>

namespace arv::graphlib::testing {

// The message of the exception f raises, or "no error".
template <class F> std::string ErrorOf(F f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "no error";
}

// Counts live instances, so a test sees an owned object freed exactly once.
struct TTracked : TObject {
    explicit TTracked(int* alive) : Alive(alive) { ++*Alive; }
    ~TTracked() override { --*Alive; }
    int* Alive;
};

} // namespace arv::graphlib::testing
