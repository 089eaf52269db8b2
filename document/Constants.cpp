#include "document/Constants.h"

#include "platform/Cp1251.h"

namespace arv {

const std::array<std::string, 2>& NodeKindNames() {
    static const auto t = RuTable({"Узел", "Узел поверхности"});
    return t;
}

const std::array<std::string, 9>& LineStyleNames() {
    static const auto t = RuTable({"По умолчанию", "Одинарная", "Двойная", "Двойная с заливкой",
                                   "Пунктирная", "Прямоугольник", "Полигон", "Дуга", "Круг"});
    return t;
}

const std::string& SingleDefaultName() {
    static const std::string s = Ru("По умолчанию");
    return s;
}

const std::array<std::string, 2>& PictureKindNames() {
    static const auto t = RuTable({"Картинка", "Условное обозначение"});
    return t;
}

const std::array<std::string, 2>& SymbolKindNames() {
    static const auto t = RuTable({"Условное обозначение", ""});
    return t;
}

const std::array<std::string, 6>& AccidentKindNames() {
    static const auto t = RuTable(
        {" Пожар", "а Взрыв", "б Пожар-Взрыв", "в Выброс угля", "г Прорыв воды", "д Другое"});
    return t;
}

const std::array<std::string, 4>& LabelSideNames() {
    static const auto t = RuTable({"Справа", "Слева", "Сверху", "Снизу"});
    return t;
}

const std::array<std::string, 6>& SchemeKindNames() {
    static const auto t = RuTable({"Рсчетная схема", "Схема вентиляции", "Схема ПЛА ",
                                   "Противопожарная схема", "Схема ...", ""});
    return t;
}

const std::array<std::string, 7>& DeviceKindNames() {
    static const auto t = RuTable(
        {"Картинка", "ВГП", "ВМП", "Сланцевый заслон", "Перемычка", "Вент.дверь", "Датчик"});
    return t;
}

const std::array<std::string, 7>& SymbolDeviceKindNames() {
    static const auto t =
        RuTable({"УО", "ВГП", "ВМП", "Сланцевый заслон", "Перемычка", "Вент.дверь", "Датчик"});
    return t;
}

const std::array<std::string, 23>& BranchColumnTitles() {
    static const auto t = RuTable({"Номер ветви",
                                   "Нач. узел",
                                   "Кон. узел",
                                   "Тип ветви",
                                   "Сопрот. выраб.",
                                   "Длина  м",
                                   "Сеч. кв.м",
                                   "К.аэр сопр.",
                                   "Зад.R регул",
                                   "Расч.R регул.",
                                   "Треб. расх.",
                                   "Расход. нор.реж",
                                   "Расход ав.реж",
                                   "Скор. м/с",
                                   "Депресс. мм.вд.ст",
                                   "Наименование выработки",
                                   "Газов м3/мин",
                                   "Конц газа,%",
                                   "Ест.т. Тепл.д.",
                                   "Вр.распр пож.,мин",
                                   "Высота выработки",
                                   "Количество людей",
                                   "Угол"});
    return t;
}

const std::array<std::string, 4>& BranchValueNames() {
    static const auto t = RuTable({"Расход", "Сечение", "Скорость", "Длина"});
    return t;
}

const std::array<std::string, 4>& BranchValuePrefixes() {
    static const auto t = RuTable({"Q=", "S=", "V=", "L="});
    return t;
}

const std::array<std::string, 27>& PropertyNames() {
    static const auto t =
        RuTable({"Тип",          "Название",    "Ветвь",          "Нач. узел",
                 "Кон. узел",    "Ширина",      "Цвет,стиль",     "Координаты",
                 "Расходы",      "Позиция ПЛА", "Номер зам. ст.", "Замеры",
                 "Расч. данные", "Изображение", "Видимость",      "Слой",
                 "Тип УО",       "Номер",       "Выводить?",      "Выноска",
                 "Текст",        "Шрифт",       "Иконка",         "Вид вент. устр-ва",
                 "Угол",         "Размер",      "Стрелка"});
    return t;
}

const TDrawingMessages& DrawingMessages() {
    static const TDrawingMessages m{
        Ru("Объект не найден"),
        Ru("Недопустимое значение"),
        Ru("Значение ветви уже используется"),
        Ru("Ошибка !!!\n\rНельзя изменить узел [%d] на [%d]\n\rЗначение узла [%d] уже "
           "используется!"),
        Ru("Вы действительно хотите заменить\n\rузел %d на узел %d ???"),
        Ru("Пользователь отменил операцию !!!"),
        Ru("Документ пуст!!!"),
        Ru("Ошибка загрузки документа"),
        Ru("Данные подготовлены в устаревшей версии программы. Обратитесь к разработчикам "
           "программы."),
        Ru("Не найдены условные обозначения"),
        Ru("Не найдены картинки"),
        Ru("Нет "),
        Ru("Слой "),
        Ru("Ветви"),
        "Arvalen ",
        "*.uo",
    };
    return m;
}

} // namespace arv
