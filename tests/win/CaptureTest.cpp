// The capture window in this process: real captures of a red window with a button on it, a real drag of
// the icon, the save through the system's dialog, and what a hundred captures leave behind.

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/Program.h"
#include "app/ZapnixIds.h"
#include "capture/CaptureIds.h"
#include "WinTestSupport.h"

namespace zapnix {
namespace {

namespace fs = std::filesystem;
using namespace ids::capture;
constexpr Rgb kRed{0xFF, 0, 0};
constexpr POINT kInRed{150, 150};  // in a picture of the whole red window, below and right of the button
const auto kNever = [] { return false; };

Rgb At(const BmpImage& image, POINT at) {
    return image.pixels[static_cast<std::size_t>(at.y * image.width + at.x)];
}

// GDI objects of this process. Wine 8 does not count them (GetGuiResources answers 0), so there they are
// read off its handle table: new handles take freed slots first, then extend the table, so the highest
// slot taken by a batch of new objects is the number in use plus the batch.
long GdiObjectsInUse() {
    if (const DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<long>(n);
    std::vector<HBRUSH> batch(8192);
    long highest = 0;
    for (HBRUSH& b : batch)
        highest = std::max<long>(highest, LOWORD(reinterpret_cast<UINT_PTR>(b = CreateSolidBrush(0))));
    for (HBRUSH b : batch) DeleteObject(b);
    return highest - static_cast<long>(batch.size());
}

class Capture : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(folder_ / "capture");
        ASSERT_TRUE(program_->Start());
        SendMessageA(program_->Main().Hwnd(), WM_COMMAND, ids::MenuCapture, 0);
        ASSERT_NE(form_ = program_->Others().Capture(), nullptr);
        SetWindowPos(form_->Hwnd(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hbrBackground = CreateSolidBrush(RGB(255, 0, 0));
        wc.lpszClassName = "CaptureRed";
        if (!RegisterClassA(&wc)) DeleteObject(wc.hbrBackground);
        red_.Reset(CreateWindowExA(WS_EX_TOPMOST, "CaptureRed", "Red", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 560, 200, 300,
                                   200, nullptr, nullptr, nullptr, nullptr));
        button_ = CreateWindowExA(0, "BUTTON", "Inside", WS_CHILD | WS_VISIBLE, 20, 20, 80, 30, red_.Get(), nullptr,
                                  nullptr, nullptr);
        testing::Pump(300, kNever);
    }
    void TearDown() override {
        program_.reset();
        for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) {
        }
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    void Press(int id) { SendMessageA(form_->Hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    BmpImage Shown() const { return ReadPicture(form_->Current()).value_or(BmpImage{}); }

    // Presses Save with the dialogs answered from another thread, in order: the name typed into the save
    // dialog ("" cancels it), then each box's button. Gives the boxes' "title|text". A dialog beyond those
    // expected is cancelled: a slow machine must not leave one open and the test hanging.
    std::vector<std::string> Save(const std::string& name, std::vector<int> buttons = {IDOK}) {
        std::vector<std::string> seen;
        std::atomic<bool> returned{false};
        std::thread answerer([&] {
            bool named = false;
            for (const auto deadline = GetTickCount64() + 60000; !returned && GetTickCount64() < deadline; Sleep(20)) {
                HWND dialog = nullptr;
                while ((dialog = FindWindowExA(nullptr, dialog, "#32770", nullptr)) &&
                       !(IsWindowVisible(dialog) && IsWindowEnabled(dialog))) {
                }
                if (!dialog) continue;
                int answer = IDCANCEL;
                if (HWND field = GetDlgItem(dialog, 0x47C)) {  // the file name box
                    if (!std::exchange(named, true) && !name.empty()) {
                        SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
                        answer = IDOK;
                    }
                } else {
                    seen.push_back(testing::TextOf(dialog) + "|" + testing::TextOf(GetDlgItem(dialog, 0xFFFF)));
                    if (seen.size() <= buttons.size()) answer = buttons[seen.size() - 1];
                }
                PostMessageA(dialog, WM_COMMAND, answer, 0);
                for (int i = 0; i < 500 && IsWindowVisible(dialog) && IsWindowEnabled(dialog); ++i) Sleep(20);
            }
        });
        Press(Command2);
        returned = true;
        answerer.join();
        return seen;
    }

    fs::path folder_ = fs::temp_directory_path() / ("zapnix-capture-" + std::to_string(GetTickCount64()));
    std::unique_ptr<Program> program_ = std::make_unique<Program>(folder_.string());
    CaptureFrm* form_ = nullptr;
    UniqueWindow red_;
    HWND button_ = nullptr;
};

TEST_F(Capture, ByHandleTakesTheRequestedRectangleOfWhatTheScreenShows) {
    // From (10, 30) of the client area: red, then the button from x = 20 on.
    const BmpImage strip = ReadPicture(CaptureWindow(red_.Get(), true, 10, 30, 20, 1)).value();
    EXPECT_EQ(At(strip, {0, 0}), kRed);
    EXPECT_NE(At(strip, {19, 0}), kRed);

    form_->CaptureDropped(red_.Get());  // its size is checked by the drop on its title bar
    EXPECT_NE(At(Shown(), {1, 1}), kRed) << "the frame is part of the whole window";
    EXPECT_EQ(At(Shown(), kInRed), kRed);

    // No window, the capture window itself minimised, a window off the screen: an empty or partial
    // picture, never a crash nor a bitmap without pixels.
    SetWindowPos(red_.Get(), nullptr, -2000, -2000, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    for (HWND degenerate : {HWND{}, form_->Hwnd(), red_.Get()}) {
        ShowWindow(form_->Hwnd(), SW_MINIMIZE);
        form_->CaptureDropped(degenerate);
        ShowWindow(form_->Hwnd(), SW_RESTORE);
        EXPECT_FALSE(form_->Current().HasImage() && Shown().width == 0);
    }
    EXPECT_EQ(Shown().width, 300);
    EXPECT_FALSE(CaptureWindow(red_.Get(), false, 0, 0, 0, 50).HasImage()) << "no 1 x 1 stand-in";

    SendMessageA(form_->Hwnd(), WM_CLOSE, 0, 0);
    SendMessageA(program_->Main().Hwnd(), WM_COMMAND, ids::MenuCapture, 0);
    EXPECT_FALSE(program_->Others().Capture()->Current().HasImage()) << "reopened empty";
}

TEST_F(Capture, DraggingTheIconCapturesTheWindowOrTheControlUnderThePointer) {
    // Dropped on the title bar, on the button, and the mouse taken away mid-drag: no release comes then,
    // both windows are back at once and the picture stays.
    const struct {
        HWND onto;
        POINT at;
        LONG width, height;
    } drops[] = {{red_.Get(), {60, 10}, 300, 200}, {button_, {5, 5}, 80, 30}, {nullptr, {}, 80, 30}};
    INPUT input{INPUT_MOUSE, {}};
    for (const auto& drop : drops) {
        RECT r;
        GetWindowRect(GetDlgItem(form_->Hwnd(), Picture2), &r);
        SetCursorPos(r.left + 10, r.top + 10);
        input.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        SendInput(1, &input, sizeof(input));
        testing::Pump(300, kNever);
        EXPECT_TRUE(IsIconic(form_->Hwnd())) << "minimised while dragging";
        EXPECT_FALSE(IsWindowVisible(program_->Main().Hwnd())) << "the main window is hidden while dragging";
        input.mi.dwFlags = MOUSEEVENTF_LEFTUP;
        if (!drop.onto) {
            ReleaseCapture();
        } else {
            GetWindowRect(drop.onto, &r);
            SetCursorPos(r.left + drop.at.x, r.top + drop.at.y);
            testing::Pump(100, kNever);
            SendInput(1, &input, sizeof(input));
            testing::Pump(2000, [&] { return !IsIconic(form_->Hwnd()); });
        }
        EXPECT_TRUE(IsWindowVisible(program_->Main().Hwnd()));
        EXPECT_FALSE(IsIconic(form_->Hwnd())) << "restored after the drop";
        EXPECT_EQ(Shown().width, drop.width);
        EXPECT_EQ(Shown().height, drop.height);
    }
    SendInput(1, &input, sizeof(input));
    testing::Pump(200, kNever);
}

TEST_F(Capture, ScreenTakesThePrimaryScreenSaveWritesAndNothingLeaks) {
    const std::vector<std::string> nothing{"Message:|Please capture something before saving!"};
    EXPECT_EQ(Save("never"), nothing);
    Press(Command1);
    EXPECT_EQ(Shown().width, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(Shown().height, GetSystemMetrics(SM_CYSCREEN));
    Press(Command3);
    EXPECT_EQ(Save("never"), nothing);
    // A hundred captures and clears leave no GDI object behind.
    const long before = GdiObjectsInUse();
    for (int i = 0; i < 100; ++i) {
        Press(Command1);
        form_->CaptureDropped(red_.Get());
        UpdateWindow(form_->Hwnd());
        Press(Command3);
    }
    EXPECT_EQ(GdiObjectsInUse(), before);

    form_->CaptureDropped(red_.Get());
    EXPECT_EQ(Save(""), std::vector<std::string>{"Message:|Please choose a file name if you wish to save this image!"});
    EXPECT_TRUE(fs::is_empty(folder_ / "capture")) << "nothing written";
    const std::string named = (folder_ / "capture" / "red").string();
    EXPECT_EQ(Save(named), std::vector<std::string>{"Message:|Your image has been saved successfully!"});
    // Read back by the system's own loader; the default extension was added.
    const Picture loaded{UniqueBitmap(static_cast<HBITMAP>(LoadImageA(nullptr, (named + ".BMP").c_str(), IMAGE_BITMAP,
                                                                      0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION))),
                         {}};
    EXPECT_EQ(At(ReadPicture(loaded).value(), kInRed), kRed);

    const std::string locked = (folder_ / "capture" / "locked.bmp").string();
    std::ofstream(locked) << "old";
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY);
    const auto boxes = Save(locked, {IDYES, IDOK});  // yes, replace it
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1], "Error:|Your image could not be saved to " + locked + ".");
    EXPECT_EQ(fs::file_size(locked), 3u) << "the old file stays as it was";
}

TEST(CapturePicture, APaletteTakenWithThePictureGoesIntoTheFile) {
    PALETTEENTRY entries[256];
    for (int i = 0; i < 256; ++i) entries[i] = PALETTEENTRY{BYTE(i), BYTE(255 - i), 7, 0};
    const WindowDc screen(nullptr);
    const BmpImage image =
        ReadPicture(CreateBitmapPicture(CreateCompatibleBitmap(screen.Get(), 4, 2), CreatePaletteOf(entries).Release()))
            .value();
    ASSERT_EQ(image.palette.size(), 256u);
    EXPECT_EQ(image.palette[200].green, 55);
}

}  // namespace
}  // namespace zapnix
