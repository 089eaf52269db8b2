// What every fuzz target shares: quiet desktop services that answer every
// box with its default button and refuse every dialog, and the seeds a
// target makes with the program's own writers.
#pragma once

#include "platform/Services.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace arv::fuzz {

// Installed for the life of the process by the first call; counts the boxes
// so a target can tell whether a reader complained.
class TQuietMessages : public IMessageService {
public:
    int MessageBox(const TMessageRequest& request) override;
    bool InputQuery(std::string_view, std::string_view, std::string&) override { return false; }
    int Count = 0;
};
TQuietMessages& InstallQuietServices();

std::string_view AsText(const uint8_t* data, size_t size);

} // namespace arv::fuzz

// Defined by each target: inputs written by our own writers, the starting
// corpus of a fuzzing run and the quick replay of the tests.
std::vector<std::string> ArvFuzzSeeds();
