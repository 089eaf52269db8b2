// Keeps a test program off the desk it runs on. Its home, settings and
// runtime folders are a fresh folder of its own (removed at the end), no
// session bus is reachable, and before every test the desktop's opener is one that fails
// the test instead of starting a program; `eachTest` runs then too. Made
// first in main, before the application object reads its environment.
#pragma once

#include <filesystem>
#include <functional>

namespace arv::test {

class TTestDesk {
public:
    explicit TTestDesk(std::function<void()> eachTest = {});
    ~TTestDesk();
    TTestDesk(const TTestDesk&) = delete;
    TTestDesk& operator=(const TTestDesk&) = delete;

private:
    std::filesystem::path home_;
};

} // namespace arv::test
