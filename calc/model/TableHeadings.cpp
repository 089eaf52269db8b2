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

// Converted once: the tables are set up again for every data file read.
std::vector<std::pair<std::string, std::string>>
TNetworkTables::Headings(const std::string& table) {
    if (table == "TablDan") {
        static const auto converted = Convert(kTablDan);
        return converted;
    }
    if (table == "TablVen") {
        static const auto converted = Convert(kTablVen);
        return converted;
    }
    if (table == "TablPotr") {
        static const auto converted = Convert(kTablPotr);
        return converted;
    }
    if (table == "TablDavl") {
        static const auto converted = Convert(kTablDavl);
        return converted;
    }
    if (table == "TablIDPressure") {
        static const auto converted = Convert(kTablIDPressure);
        return converted;
    }
    return {};
}

} // namespace arv
