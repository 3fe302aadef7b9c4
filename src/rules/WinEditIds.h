#pragma once
// Control identifiers of the rule editor.

namespace zapnix::ids::edit {

enum : int { Frame1 = 4001, Label1, Label2, Text1, Label3, Combo1, Label4, Combo2, Label5, Combo3, Command1 };

}  // namespace zapnix::ids::edit
