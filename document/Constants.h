// Fixed texts of the drawing side (CP1251). The main window fills its lists,
// its property grid and its messages from these tables.
#pragma once

#include <array>
#include <string>

namespace arv {

const std::array<std::string, 2>& NodeKindNames();
const std::array<std::string, 9>& LineStyleNames();
const std::string& SingleDefaultName();
const std::array<std::string, 2>& PictureKindNames();
const std::array<std::string, 2>& SymbolKindNames();
const std::array<std::string, 6>& AccidentKindNames();
const std::array<std::string, 4>& LabelSideNames();
const std::array<std::string, 6>& SchemeKindNames();
const std::array<std::string, 7>& DeviceKindNames();
const std::array<std::string, 7>& SymbolDeviceKindNames();
const std::array<std::string, 23>& BranchColumnTitles();
const std::array<std::string, 4>& BranchValueNames();
const std::array<std::string, 4>& BranchValuePrefixes();
const std::array<std::string, 27>& PropertyNames();

// Messages of the drawing side.
struct TDrawingMessages {
    std::string objectNotFound;     // "Объект не найден"
    std::string invalidValue;       // "Недопустимое значение"
    std::string branchNumberUsed;   // "Значение ветви уже используется"
    std::string nodeNumberUsed;     // format with three %d
    std::string confirmNodeReplace; // format with two %d
    std::string userCancelled;     // "Пользователь отменил операцию !!!"
    std::string documentEmpty;     // "Документ пуст!!!"
    std::string documentLoadError; // "Ошибка загрузки документа"
    std::string outdatedVersion;   // the drawing file is older than version 22
    std::string symbolsMissing;    // "Не найдены условные обозначения"
    std::string picturesMissing;   // "Не найдены картинки"
    std::string missingPrefix;     // "Нет "
    std::string layerPrefix;       // "Слой "
    std::string branchesLayer;     // "Ветви"
    std::string captionPrefix;     // "Arvalen "
    std::string symbolFileMask;    // "*.uo"
};
const TDrawingMessages& DrawingMessages();

} // namespace arv
