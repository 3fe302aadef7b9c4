#pragma once
// Control identifiers of the About box.

namespace zapnix::ids::about {

enum : int { AboutPic = 9001 };

}  // namespace zapnix::ids::about
