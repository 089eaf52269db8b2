// Heading rows of the network tables, exactly as the window shows them.
#include "calc/model/NetworkTables.h"

#include "platform/Cp1251.h"

namespace arv {

namespace {
struct THeading {
    const char* row0;
    const char* row1;
};

const THeading kTablDan[] = {
    {"Номер", "ветви"},        {"Нач.", "узел"},
    {"Кон.", "узел"},          {"Тип ", "ветви"},
    {"Сопрот.", "выраб., km"}, {"Длина", "  м  "},
    {"Сеч. ", "кв.м "},        {"К.аэр", "сопр."},
    {"Зад.R", "регул, km"},    {"Расч.R", "регул., km"},
    {"Треб.", "расх."},        {"Расход.", "нор.реж"},
    {"Расход ", "ав.реж "},    {"Скор.", " м/с "},
    {"Депресс.", "мм.вд.ст"},  {" Наименование  ", "  выработки    "},
    {"Газов.", "м3/мин"},      {"Конц.", "газа,%"},
    {"Ест.т. ", "Тепл.д."},    {"Вр.распр", "пож.,мин"},
    {"Высота", "выр-ки"},      {"Количество", "людей"},
    {"Угол", "наклона"},
};

const THeading kTablVen[] = {
    {"Номер", "ветви"},
    {"Тип", "вентилятора"},
    {"Угол", "лопаток"},
    {"Коэф.", "  А  "},
    {"Коэф.", "  В  "},
    {"Коэф.", "  С  "},
    {" Расход  ", "воздуха, м3/с"},
    {"Депрессия", "мм.вд.ст."},
};

const THeading kTablPotr[] = {
    {"Номер", "ветви"},
    {" Тип ", "ветви"},
    {"Требуемый", "расход"},
    {"Расчетный", "расход"},
    {"Обеспеченность,", "    %     "},
    {"Наименование", " "},
};

const THeading kTablDavl[] = {
    {"  №  ", "узла"},        {"Давление", "мм.вод.ст"},        {"Входящие", " ветви "},
    {"Исходящие", " ветви "}, {"Вертикальная", "  отметка   "}, {"Координата", "  Х       "},
    {"Координата", "  Y   "},
};

const THeading kTablIDPressure[] = {{"Нач.", "давл."}, {"Кон.", "давл."}, {"Расход", "воздуха"}};

template <size_t N>
std::vector<std::pair<std::string, std::string>> Convert(const THeading (&h)[N]) {
    std::vector<std::pair<std::string, std::string>> r;
    for (const auto& x : h) r.emplace_back(Ru(x.row0), Ru(x.row1));
    return r;
}
} // namespace

std::vector<std::pair<std::string, std::string>>
TNetworkTables::Headings(const std::string& table) {
    if (table == "TablDan") return Convert(kTablDan);
    if (table == "TablVen") return Convert(kTablVen);
    if (table == "TablPotr") return Convert(kTablPotr);
    if (table == "TablDavl") return Convert(kTablDavl);
    if (table == "TablIDPressure") return Convert(kTablIDPressure);
    return {};
}

} // namespace arv
