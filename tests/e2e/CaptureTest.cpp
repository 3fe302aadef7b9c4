// "Screen Capture" from outside: the whole screen taken and saved through the system's Save As dialog.

#include "ZapnixSession.h"
#include "capture/CaptureIds.h"

namespace zapnix::e2e {
namespace {

using Capture = ZapnixSession;

TEST_F(Capture, ScreenSavedThroughTheDialogIsABitmapFile) {
    Start();
    ChooseCommand(main_, ids::MenuCapture);
    HWND form = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (form = app_->FindWindowOf("CaptureFrm", "Zapnix Popup Killer")) != nullptr; }));
    Click(GetDlgItem(form, ids::capture::Command1));
    Click(GetDlgItem(form, ids::capture::Command2));

    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(dialog = app_->FindWindowOf("#32770", "Save As")); }));
    const std::string name = folder_.File("screen");
    SendMessageA(GetDlgItem(dialog, 0x47C), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));  // file name
    Click(GetDlgItem(dialog, IDOK));

    const auto box = app_->WaitForMessageBox("Message:");
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, "Your image has been saved successfully!");
    Answer(*box, IDOK);
    EXPECT_EQ(folder_.Read("screen.BMP").value_or("").substr(0, 2), "BM") << "saved with the default extension";
    CloseWithYes();
}

}  // namespace
}  // namespace zapnix::e2e
