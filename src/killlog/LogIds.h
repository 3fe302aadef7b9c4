#pragma once
// Control identifiers of the kill-log viewer.

namespace zapnix::ids::log {

enum : int { LogList = 3001, Command3, Command2, Command1 };

}  // namespace zapnix::ids::log
