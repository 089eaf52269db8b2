#include "platform/Help.h"

#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "platform/Services.h"

namespace arv {

namespace {

constexpr std::string_view kHelpFolder = "help/";

} // namespace

std::string HelpPageFile(std::string_view page) {
    return FindFileNoCase(ProgramDir(), std::string(kHelpFolder) + std::string(page));
}

bool ShowHelpPage(std::string_view page) {
    const std::string file = HelpPageFile(page);
    if (file.empty()) {
        MessageBox(Ru("Не найден файл справки ") + ProgramDir() + std::string(kHelpFolder) +
                       std::string(page),
                   "", TMsgButtons::Ok, TMsgIcon::Error);
        return false;
    }
    if (!OpenWithDefaultProgram(file)) {
        MessageBox(Ru("Справка находится в файле ") + file +
                       Ru(", но открыть его не удалось: нет программы для просмотра HTML"),
                   "", TMsgButtons::Ok, TMsgIcon::Warning);
        return false;
    }
    return true;
}

} // namespace arv
