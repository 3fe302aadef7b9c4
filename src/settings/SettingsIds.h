#pragma once
// Control identifiers of the Settings dialog.

namespace zapnix::ids::settings {

enum : int {
    Frame1 = 6001,
    Label1,
    Frame2,
    Label2,
    Text1,
    Command1,
    Command2,
    Label3,
    Check1,
    Label4,
    Check2,
    Label5,
    Check3,
    Command3,
};

}  // namespace zapnix::ids::settings
