#include "platform/ShortDate.h"

#include <windows.h>

namespace zapnix {

std::string TodayShortDate() {
    char buffer[128] = {};
    const int length = GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, buffer, sizeof(buffer));
    return length > 1 ? std::string(buffer, length - 1) : std::string();
}

}  // namespace zapnix
