// Program start-up with windows: the data window and its settings dialog are
// created once, in the order of the program's start-up, and live until it
// ends.
#pragma once

#include "calc/ui/Form1Window.h"

#include <memory>
#include <string>
#include <vector>

namespace arv {

// Opens what the command line names (see ChooseStartFile), shows the data
// window and any message about the start file. The settings dialog belongs
// to the returned window.
std::unique_ptr<TForm1> StartProgram(const std::vector<std::string>& args);

} // namespace arv
