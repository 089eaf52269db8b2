// The program's help: an HTML guide in the folder "help" of the program
// folder, shown with the desktop's default program (a web browser).
#pragma once

#include <string>
#include <string_view>

namespace arv {

// Pages of the guide that windows open directly.
inline constexpr std::string_view kHelpContentsPage = "Arvalen.html";
inline constexpr std::string_view kHelpReportEditorPage = "report-editor.html";

// The page's file as it is on disk, looked up without regard to letter case;
// "" when the program folder has no such page.
std::string HelpPageFile(std::string_view page);

// Opens a page of the guide. A missing page, or no program to show it, is
// told in a message box; false then.
bool ShowHelpPage(std::string_view page = kHelpContentsPage);

} // namespace arv
