#include "StartFile.h"

#include "platform/Cp1251.h"
#include "platform/Files.h"

#include <filesystem>

namespace arv {

namespace {

std::string Untitled() {
    return ProgramDir() + "untitled.grh";
}

std::string FullFileName(const std::string& name) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(NativePath(name), ec);
    return ec ? name : FromNativePath(p.lexically_normal());
}

} // namespace

TStartFile ChooseStartFile(const std::vector<std::string>& args) {
    std::string name;
    for (const std::string& a : args) name += (name.empty() ? "" : " ") + a;
    if (name.empty()) {
        auto samples = ListFilesWithExt(ProgramDir(), ".dan");
        if (samples.empty()) return {Untitled(), ""};
        return {ChangeFileExt(samples.front(), ".grh"), ""};
    }
    std::string ext = AnsiLowerCase(ExtractFileExt(name));
    if (ext == ".grh")
        return {Untitled(), Ru("Чтение файлов схемы (.grh) пока недоступно: ") + name +
                                Ru("\nПрограмма начинает с пустыми таблицами.")};
    if (ext != ".dan")
        return {Untitled(), Ru("Программа открывает файлы схемы (.grh) и данных (.dan); ") + name +
                                Ru(" не открыт.")};
    std::string full = FullFileName(name);
    if (!FileExists(full)) return {Untitled(), Ru("Файл не найден: ") + full};
    return {ChangeFileExt(full, ".grh"), ""};
}

} // namespace arv
