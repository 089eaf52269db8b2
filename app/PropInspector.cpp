#include "app/PropInspector.h"

#include "document/Branch.h"
#include "document/Figure.h"
#include "document/TextFigures.h"
#include "platform/Cp1251.h"

#include <algorithm>
#include <array>
#include <map>

namespace arv {

namespace {

const std::vector<int> kBranchRows{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 23, 32, 33, 34, 35};
const std::vector<int> kTextRows{1, 13, 14, 8, 33, 34, 35};
const std::vector<int> kPictureRows{1, 16, 24, 25, 27, 28, 15, 33, 34, 35, 36};
const std::vector<int> kSymbolRows{1, 19, 29, 18, 30, 31, 17, 33, 34, 35, 36};
const std::vector<int> kShapeRows{1, 6, 7, 33, 34, 35, 36};
const std::vector<int> kNoRows;

} // namespace

const std::vector<int>& PropertyRowsOfKind(int32_t kind) {
    switch (kind) {
    case kKindLine:
    case kKindPolyLine:
        return kBranchRows;
    case kKindText:
        return kTextRows;
    case kKindPicture:
        return kPictureRows;
    case kKindSymbol:
        return kSymbolRows;
    case kKindArc:
    case kKindRectangle:
    case kKindEllipse:
    case kKindPolygon:
    case kKindALine:
        return kShapeRows;
    default:
        return kNoRows;
    }
}

int MapPropertyRow(int32_t kind, int value, bool rowToId) {
    const std::vector<int>& rows = PropertyRowsOfKind(kind);
    if (rowToId) {
        if (value >= 1 && value <= static_cast<int>(rows.size()))
            return rows[static_cast<size_t>(value - 1)];
        return value;
    }
    auto it = std::find(rows.begin(), rows.end(), value);
    return it == rows.end() ? value : static_cast<int>(it - rows.begin()) + 1;
}

int PropertyRowCount(int32_t kind) {
    const size_t n = PropertyRowsOfKind(kind).size();
    return n == 0 ? 2 : static_cast<int>(n) + 1;
}

const std::string& PropertyCaption(int id) {
    static const std::map<int, std::string> captions = [] {
        const std::pair<int, const char*> table[] = {
            {1, "Тип"},           {2, "Название"},        {3, "Ветвь"},
            {4, "Нач. узел"},     {5, "Кон. узел"},       {6, "Ширина"},
            {7, "Цвет,стиль"},    {8, "Координаты"},      {9, "Расходы"},
            {10, "Позиция ПЛА"},  {11, "Номер зам. ст."}, {12, "Замеры"},
            {13, "Текст"},        {14, "Шрифт"},          {15, "Иконка"},
            {16, "Название"},     {17, "Иконка"},         {18, "Угол"},
            {19, "Название"},     {23, "Стрелка"},        {24, "Номер"},
            {25, "Угол"},         {27, "Размер"},         {28, "Вид вент. устр-ва"},
            {29, "Номер"},        {30, "Размер"},         {31, "Тип УО"},
            {32, "Расч. данные"}, {33, "Изображение"},    {34, "Видимость"},
            {35, "Слой"},         {36, "Ветвь"},
        };
        std::map<int, std::string> m;
        for (const auto& [id, text] : table) m.emplace(id, Ru(text));
        return m;
    }();
    static const std::string none;
    auto it = captions.find(id);
    return it == captions.end() ? none : it->second;
}

// The figure's two display switches: the first says the width follows the
// layer or the drawing default, the second that the colours do. Branch
// resets set both with the width, and new shapes clear the first.
bool DefaultWidthFlag(const TGCustomFigure& f) {
    return f.flagA != 0;
}

bool ColourFromLayerFlag(const TGCustomFigure& f) {
    return f.flagB != 0;
}

void SetDefaultWidthFlag(TGCustomFigure& f, bool on) {
    f.flagA = on ? 1 : 0;
}

void SetColourFromLayerFlag(TGCustomFigure& f, bool on) {
    f.flagB = on ? 1 : 0;
}

// Pictures and symbols keep their device kind in the spare integer after
// their own size.
int32_t DeviceKindOf(const TGCustomFigure& f) {
    if (f.kind == kKindPicture) return static_cast<const TGPicture&>(f).value2;
    if (f.kind == kKindSymbol) return static_cast<const TGUO&>(f).value1;
    return 0;
}

void SetDeviceKind(TGCustomFigure& f, int32_t kind) {
    if (f.kind == kKindPicture) static_cast<TGPicture&>(f).value2 = kind;
    if (f.kind == kKindSymbol) static_cast<TGUO&>(f).value1 = kind;
}

int AccidentIndexOf(const TGBranch& b) {
    for (size_t k = 0; k < b.marks.size(); ++k)
        if (b.marks[k].flag) return static_cast<int>(k);
    return 0;
}

} // namespace arv
