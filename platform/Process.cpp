#include "Process.h"

#include "Cp1251.h"
#include "Files.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace arv {

namespace {

// posix_spawn reports a program that cannot be executed as an error, so a
// missing program is seen at once. Standard streams go to /dev/null.
pid_t Spawn(const std::string& program, const std::vector<std::string>& args,
            const std::string& workDir, bool newSession) {
    std::vector<std::string> argv8;
    argv8.push_back(Cp1251ToUtf8(NormalizeSeparators(program)));
    for (const auto& a : args) argv8.push_back(Cp1251ToUtf8(a));
    std::vector<char*> argv;
    for (auto& a : argv8) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::string dir8 = Cp1251ToUtf8(NormalizeSeparators(workDir));

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attr);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (!dir8.empty()) posix_spawn_file_actions_addchdir_np(&actions, dir8.c_str());
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
    if (newSession) flags |= POSIX_SPAWN_SETSID;
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setflags(&attr, flags);
    pid_t pid = -1;
    int rc = posix_spawnp(&pid, argv[0], &actions, &attr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    return rc == 0 ? pid : -1;
}

} // namespace

bool StartDetached(const std::string& program, const std::vector<std::string>& args,
                   const std::string& workDir) {
    pid_t pid = Spawn(program, args, workDir, true);
    if (pid < 0) return false;
    // Reap it whenever it ends so that no zombie stays behind.
    std::thread([pid] {
        int status;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return true;
}

TRunResult RunAndWait(const std::string& program, const std::vector<std::string>& args,
                      int timeoutMs, int& exitCode, const std::string& workDir) {
    exitCode = -1;
    pid_t pid = Spawn(program, args, workDir, false);
    if (pid < 0) return TRunResult::NotStarted;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (true) {
        int status;
        pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid) {
            exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            return TRunResult::Finished;
        }
        if (r < 0 && errno != EINTR) return TRunResult::NotStarted;
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return TRunResult::TimedOut;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

namespace {

class TDesktopOpener : public IDocumentOpener {
public:
    bool Open(const std::string& path) override { return StartDetached("xdg-open", {path}); }
};

TDesktopOpener desktopOpener;
IDocumentOpener* documentOpener = &desktopOpener;

} // namespace

IDocumentOpener* InstallDocumentOpener(IDocumentOpener* opener) {
    IDocumentOpener* replaced = documentOpener;
    documentOpener = opener ? opener : &desktopOpener;
    return replaced;
}

bool OpenWithDefaultProgram(const std::string& path) {
    return documentOpener->Open(path);
}

} // namespace arv
