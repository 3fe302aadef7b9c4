// "Screen Capture" from outside: the whole screen taken and saved through the system's Save As dialog.

#include <cstdint>

#include "ZapnixSession.h"
#include "capture/CaptureIds.h"

namespace zapnix::e2e {
namespace {

using Capture = ZapnixSession;

std::uint32_t LittleEndianAt(const std::string& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (std::size_t i = 4; i-- > 0;) value = value << 8 | static_cast<unsigned char>(bytes.at(offset + i));
    return value;
}

// The edit box that the file name is typed into: inside the dialog's file name combo box (cmb13).
HWND FileNameBox(HWND dialog) {
    HWND found = nullptr;
    EnumChildWindows(
        dialog,
        [](HWND w, LPARAM out) {
            char cls[16] = {};
            GetClassNameA(w, cls, sizeof(cls));
            if (GetDlgCtrlID(w) != 0x47C || lstrcmpiA(cls, "Edit") != 0) return TRUE;
            *reinterpret_cast<HWND*>(out) = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

TEST_F(Capture, ScreenSavedThroughTheDialogIsABitmapOfTheScreen) {
    Start();
    ChooseCommand(main_, ids::MenuCapture);
    HWND form = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (form = app_->FindWindowOf("CaptureFrm", "Zapnix Popup Killer")) != nullptr; }));
    Click(GetDlgItem(form, ids::capture::Command1));
    Click(GetDlgItem(form, ids::capture::Command2));

    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = app_->FindWindowOf("#32770", "Save As")) != nullptr; }));
    HWND name = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (name = FileNameBox(dialog)) != nullptr; }));
    TypeText(name, folder_.File("screen"));
    ASSERT_TRUE(WaitUntil([&] { return WindowText(name) == folder_.File("screen"); }));
    Click(GetDlgItem(dialog, IDOK));

    const auto box = app_->WaitForMessageBox("Message:");
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, "Your image has been saved successfully!");
    Answer(*box, IDOK);

    const auto bytes = folder_.Read("screen.BMP");
    ASSERT_TRUE(bytes) << "the default extension is added";
    ASSERT_GE(bytes->size(), 54u);
    EXPECT_EQ(bytes->substr(0, 2), "BM");
    EXPECT_EQ(LittleEndianAt(*bytes, 2), bytes->size());
    EXPECT_EQ(LittleEndianAt(*bytes, 18), static_cast<std::uint32_t>(GetSystemMetrics(SM_CXSCREEN)));
    EXPECT_EQ(LittleEndianAt(*bytes, 22), static_cast<std::uint32_t>(GetSystemMetrics(SM_CYSCREEN)));
    HANDLE loaded = LoadImageA(nullptr, folder_.File("screen.BMP").c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    EXPECT_NE(loaded, nullptr) << "the system reads it as a bitmap";
    DeleteObject(loaded);
    CloseWithYes();
}

}  // namespace
}  // namespace zapnix::e2e
