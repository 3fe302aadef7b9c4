#pragma once

#include <string>

namespace zapnix {

// Today's date in the user's short date format, without a time of day.
std::string TodayShortDate();

}  // namespace zapnix
