// "Screen Capture" from outside: the whole screen taken and saved through the system's Save As dialog, as
// a bitmap that the system's own loader reads.

#include "ZapnixSession.h"
#include "capture/CaptureIds.h"

namespace zapnix::e2e {
namespace {

using Capture = ZapnixSession;

TEST_F(Capture, TheScreenSavedThroughTheDialogIsABitmapOfTheScreensSize) {
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
    ExpectMessage(nullptr, "Your image has been saved successfully!");

    // Saved with the default extension.
    const auto bitmap =
        static_cast<HBITMAP>(LoadImageA(nullptr, (name + ".BMP").c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    BITMAP info{};
    EXPECT_TRUE(bitmap && GetObjectA(bitmap, sizeof info, &info));
    EXPECT_EQ(info.bmWidth, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(info.bmHeight, GetSystemMetrics(SM_CYSCREEN));
    DeleteObject(bitmap);
    CloseWithYes();
}

}  // namespace
}  // namespace zapnix::e2e
