#include "platform/testing/TestDesk.h"

#include "platform/Process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace arv::test {

namespace {

struct TDeskListener : ::testing::EmptyTestEventListener, IDocumentOpener {
    std::function<void()> eachTest;
    void OnTestStart(const ::testing::TestInfo&) override {
        InstallDocumentOpener(this);
        if (eachTest) eachTest();
    }
    bool Open(const std::string& path) override {
        ADD_FAILURE() << "the test asked the desktop to open " << path;
        return false;
    }
};

} // namespace

TTestDesk::TTestDesk(std::function<void()> eachTest)
    : home(std::filesystem::temp_directory_path() / ("arvalen_desk_" + std::to_string(getpid()))) {
    std::filesystem::remove_all(home);
    for (const char* variable : {"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME",
                                 "XDG_STATE_HOME", "XDG_RUNTIME_DIR"}) {
        std::filesystem::create_directories(home / variable);
        std::filesystem::permissions(home / variable, std::filesystem::perms::owner_all);
        setenv(variable, (home / variable).c_str(), 1);
    }
    // An address that leads nowhere: no bus is reached, none is started.
    setenv("DBUS_SESSION_BUS_ADDRESS",
           ("unix:path=" + (home / "XDG_RUNTIME_DIR/bus").string()).c_str(), 1);
    auto* listener = new TDeskListener;
    listener->eachTest = std::move(eachTest);
    ::testing::UnitTest::GetInstance()->listeners().Append(listener);
}

TTestDesk::~TTestDesk() {
    InstallDocumentOpener(nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
}

} // namespace arv::test
