#include "StartFile.h"

#include "document/DrawingFile.h"
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
        if (samples.empty()) return {Untitled(), "", ""};
        return {ChangeFileExt(samples.front(), ".grh"), "", ""};
    }
    std::string ext = AnsiLowerCase(ExtractFileExt(name));
    if (ext != ".grh" && ext != ".dan")
        return {Untitled(), "",
                Ru("Программа открывает файлы схемы (.grh) и данных (.dan); ") + name +
                    Ru(" не открыт.")};
    std::string full = FullFileName(name);
    if (!FileExists(full)) return {Untitled(), "", Ru("Файл не найден: ") + full};
    if (ext == ".dan") return {ChangeFileExt(full, ".grh"), "", ""};
    TGCollFigure drawing;
    std::string text;
    if (ReadDrawingFile(drawing, full, &text) != 0)
        return {Untitled(), "", Ru("Ошибка загрузки документа")};
    return {full, text, ""};
}

} // namespace arv
