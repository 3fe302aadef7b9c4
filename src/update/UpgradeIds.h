#pragma once
// Control identifiers of the update window and of its download progress window.

namespace zapnix::ids::upgrade {

enum : int {
    Frame1 = 7001,
    Label1,
    Frame2,
    ProgressBar1,
    Text1,
    Command2,
    Command1,
    Command3,
    Label2,
    Label3,

    // The download progress window
    DownloadText = 7101,
    DownloadBar,
    DownloadCancel,
};

}  // namespace zapnix::ids::upgrade
