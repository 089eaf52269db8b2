// Keeps a test program off the desk it runs on: its home, settings and
// runtime folders are a fresh folder of its own, no session bus is reachable,
// and before every test the desktop's opener is one that fails the test;
// `eachTest` runs then too. Made first in main, before the application.
#pragma once

#include <filesystem>
#include <functional>

namespace arv::test {

struct TTestDesk {
    explicit TTestDesk(std::function<void()> eachTest = {});
    ~TTestDesk();
    const std::filesystem::path home;
};

} // namespace arv::test
