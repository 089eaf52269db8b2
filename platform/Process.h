// Starting other programs. Arguments are passed as they are (no shell), names
// are CP1251 like all program text.
#pragma once

#include <string>
#include <vector>

namespace arv {

// Starts a program detached from this one and does not wait. False when it
// could not be started.
bool StartDetached(const std::string& program, const std::vector<std::string>& args,
                   const std::string& workDir = {});

enum class TRunResult { Finished, TimedOut, NotStarted };

// Starts a program and waits at most timeoutMs for it; a program still
// running then is killed. exitCode is the program's exit status.
TRunResult RunAndWait(const std::string& program, const std::vector<std::string>& args,
                      int timeoutMs, int& exitCode, const std::string& workDir = {});

// Opens documents with the desktop's default program. The program uses the
// desktop's opener; tests install a recording one.
class IDocumentOpener {
public:
    virtual ~IDocumentOpener() = default;
    // False when no program could be started for it.
    virtual bool Open(const std::string& path) = 0;
};

// A null argument puts the desktop's opener back. Returns the opener it
// replaced.
IDocumentOpener* InstallDocumentOpener(IDocumentOpener* opener);

// Opens a document or folder with the desktop's default program, detached,
// through the installed opener.
bool OpenWithDefaultProgram(const std::string& path);

} // namespace arv
