// The message of a command whose work is not in the program yet: the command
// is on its menu, and choosing it says so instead of doing nothing.
#pragma once

#include <string>
#include <string_view>

namespace arv {

// The text the message shows for a command caption (both CP1251).
std::string NotAvailableText(std::string_view caption);
// Information box with that text.
void ShowNotAvailable(std::string_view caption);

// The program has no web page: what the about box and "Страница в Интернете"
// say instead of a link (CP1251).
std::string NoWebPageText();

} // namespace arv
