// "Screen Capture" from outside: the whole screen taken and saved through the system's Save As dialog.

#include "ZapnixSession.h"
#include "capture/CaptureIds.h"
#include "platform/Handles.h"

namespace zapnix::e2e {
namespace {

using Capture = ZapnixSession;

TEST_F(Capture, ScreenSavedThroughTheDialogIsABitmapOfTheScreen) {
    Start();
    ChooseCommand(main_, ids::MenuCapture);
    HWND form = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (form = app_->FindWindowOf("CaptureFrm", "Zapnix Popup Killer")) != nullptr; }));
    Click(GetDlgItem(form, ids::capture::Command1));
    Click(GetDlgItem(form, ids::capture::Command2));

    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = app_->FindWindowOf("#32770", "Save As")) != nullptr; }));
    // The file name box: the edit inside the dialog's combo box cmb13 (Wine wraps that in a ComboBoxEx).
    HWND name = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        HWND combo = GetDlgItem(dialog, 0x47C), inner = FindWindowExA(combo, nullptr, "ComboBox", nullptr);
        return (name = FindWindowExA(inner ? inner : combo, nullptr, "Edit", nullptr)) != nullptr;
    }));
    TypeText(name, folder_.File("screen"));
    ASSERT_TRUE(WaitUntil([&] { return WindowText(name) == folder_.File("screen"); }));
    Click(GetDlgItem(dialog, IDOK));

    const auto box = app_->WaitForMessageBox("Message:");
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, "Your image has been saved successfully!");
    Answer(*box, IDOK);

    // The default extension was added, and the system reads the file as a bitmap of the screen's width.
    const UniqueBitmap loaded(static_cast<HBITMAP>(
        LoadImageA(nullptr, folder_.File("screen.BMP").c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
    BITMAP size{};
    EXPECT_TRUE(GetObjectA(loaded.Get(), sizeof(size), &size) && size.bmWidth == GetSystemMetrics(SM_CXSCREEN));
    CloseWithYes();
}

}  // namespace
}  // namespace zapnix::e2e
