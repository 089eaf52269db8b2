// What the program opens at start: the command-line parameters, joined by
// blanks, name a drawing or a data file. Until the drawing window exists, a
// drawing gives only the network data it carries; a data file (".dan") is
// opened through the drawing name of the same folder and base name, so that
// the data window reads it at start-up; without a name the first data file
// in the program folder (the bundled sample) is opened.
#pragma once

#include <string>
#include <vector>

namespace arv {

struct TStartFile {
    // The drawing name the data window starts with.
    std::string DrawingFileName;
    // The network data text of that drawing; empty when it carries none.
    std::string NetworkDataText;
    // A message for the user once the window shows; empty when none.
    std::string Message;
};

TStartFile ChooseStartFile(const std::vector<std::string>& args);

} // namespace arv
