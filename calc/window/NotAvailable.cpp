#include "calc/window/NotAvailable.h"

#include "platform/Cp1251.h"
#include "platform/Services.h"

namespace arv {

std::string NotAvailableText(std::string_view caption) {
    return Ru("Функция \"") + std::string(caption) + Ru("\" пока недоступна");
}

void ShowNotAvailable(std::string_view caption) {
    MessageBox(NotAvailableText(caption), "", TMsgButtons::Ok, TMsgIcon::Information);
}

std::string NoWebPageText() {
    return Ru("У программы нет страницы в Интернете");
}

} // namespace arv
