#include "platform/testing/TestDesk.h"

#include "platform/Process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <system_error>
#include <unistd.h>

namespace arv::test {

namespace {

class TRefusingOpener : public IDocumentOpener {
public:
    bool Open(const std::string& path) override {
        ADD_FAILURE() << "the test asked the desktop to open " << path;
        return false;
    }
};

class TDeskListener : public ::testing::EmptyTestEventListener {
public:
    explicit TDeskListener(std::function<void()> eachTest) : eachTest_(std::move(eachTest)) {}
    void OnTestStart(const ::testing::TestInfo&) override {
        InstallDocumentOpener(&opener_);
        if (eachTest_) eachTest_();
    }

private:
    TRefusingOpener opener_;
    std::function<void()> eachTest_;
};

} // namespace

TTestDesk::TTestDesk(std::function<void()> eachTest) {
    home_ = std::filesystem::temp_directory_path() / ("arvalen_desk_" + std::to_string(::getpid()));
    std::filesystem::remove_all(home_);
    const std::pair<const char*, const char*> folders[] = {{"HOME", ""},
                                                           {"XDG_CONFIG_HOME", ".config"},
                                                           {"XDG_CACHE_HOME", ".cache"},
                                                           {"XDG_DATA_HOME", ".local/share"},
                                                           {"XDG_STATE_HOME", ".local/state"}};
    for (const auto& [variable, folder] : folders) {
        const std::filesystem::path dir = *folder ? home_ / folder : home_;
        std::filesystem::create_directories(dir);
        ::setenv(variable, dir.c_str(), 1);
    }
    // The sockets of the user's session (its bus among them) live in the
    // runtime folder; a bus address that leads nowhere starts none either.
    const std::filesystem::path runtime = home_ / "run";
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    ::setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + (home_ / "no-bus").string()).c_str(), 1);
    ::testing::UnitTest::GetInstance()->listeners().Append(new TDeskListener(std::move(eachTest)));
}

TTestDesk::~TTestDesk() {
    InstallDocumentOpener(nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(home_, ignored);
}

} // namespace arv::test
