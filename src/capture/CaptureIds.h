#pragma once
// Control identifiers of the screen capture window.

namespace zapnix::ids::capture {

enum : int { Frame1 = 8001, Label1, Picture2, Label2, Label3, Command3, Command2, Command1, Picture1 };

}  // namespace zapnix::ids::capture
