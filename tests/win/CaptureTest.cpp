// The capture window in this process: real captures of a window painted with known colours, a real
// drag of the icon, the save through the system's dialog, and what a hundred captures leave behind.

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/Program.h"
#include "app/ZapnixIds.h"
#include "capture/CaptureIds.h"
#include "WinTestSupport.h"

namespace zapnix {
namespace {

namespace fs = std::filesystem;
using namespace ids::capture;
constexpr Rgb kRed{0xFF, 0, 0}, kBlue{0, 0, 0xFF};
const auto kNever = [] { return false; };

// Red left half, blue right half.
LRESULT CALLBACK BlocksProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_ERASEBKGND) return DefWindowProcA(hwnd, message, wParam, lParam);
    RECT r, right;
    GetClientRect(hwnd, &r);
    right = r;
    r.right = right.left = r.right / 2;
    const UniqueGdi<HBRUSH> red(CreateSolidBrush(RGB(255, 0, 0))), blue(CreateSolidBrush(RGB(0, 0, 255)));
    FillRect(reinterpret_cast<HDC>(wParam), &r, red.Get());
    FillRect(reinterpret_cast<HDC>(wParam), &right, blue.Get());
    return 1;
}

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
        ASSERT_NE(form_ = program_->Main().ExistingCapture(), nullptr);
        SetWindowPos(form_->Hwnd(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        WNDCLASSA wc{};
        wc.lpfnWndProc = BlocksProc;
        wc.lpszClassName = "CaptureBlocks";
        RegisterClassA(&wc);
        blocks_.Reset(CreateWindowExA(WS_EX_TOPMOST, "CaptureBlocks", "Blocks", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 560,
                                      200, 300, 200, nullptr, nullptr, nullptr, nullptr));
        button_ = CreateWindowExA(0, "BUTTON", "Inside", WS_CHILD | WS_VISIBLE, 20, 20, 80, 30, blocks_.Get(), nullptr,
                                  nullptr, nullptr);
        testing::Pump(300, kNever);
        RECT outer;
        GetWindowRect(blocks_.Get(), &outer);
        POINT origin{60, 60};
        ClientToScreen(blocks_.Get(), &origin);
        inRed_ = POINT{origin.x - outer.left, origin.y - outer.top};  // within the whole window's picture
    }
    void TearDown() override {
        blocks_.Reset();
        program_.reset();
        for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) {
        }
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    void Press(int id) { SendMessageA(form_->Hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    BmpImage Shown() const { return ReadPicture(form_->Current()).value_or(BmpImage{}); }

    // Presses Save with the dialogs answered from another thread, in order: the name typed into the save
    // dialog ("" cancels it), then each box's button. Gives the boxes' "title|text".
    std::vector<std::string> Save(const std::string& name, std::vector<int> buttons = {IDOK}) {
        std::vector<std::string> seen;
        std::thread answerer([&, thread = GetCurrentThreadId()] {
            for (std::size_t done = 0, named = 0; done < buttons.size();) {
                HWND dialog = nullptr;
                for (int tries = 0; tries < 500 && !dialog; ++tries, Sleep(20))
                    EnumThreadWindows(
                        thread,
                        [](HWND w, LPARAM out) {
                            if (!IsWindowVisible(w) || !IsWindowEnabled(w) || testing::ClassOf(w) != "#32770")
                                return TRUE;
                            *reinterpret_cast<HWND*>(out) = w;
                            return FALSE;
                        },
                        reinterpret_cast<LPARAM>(&dialog));
                if (!dialog) return;
                if (HWND field = GetDlgItem(dialog, 0x47C); field && !named++) {  // the file name box
                    SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
                    PostMessageA(dialog, WM_COMMAND, name.empty() ? IDCANCEL : IDOK, 0);
                } else if (!field) {
                    seen.push_back(testing::TextOf(dialog) + "|" + testing::TextOf(GetDlgItem(dialog, 0xFFFF)));
                    PostMessageA(dialog, WM_COMMAND, buttons[done++], 0);
                }
                while (IsWindowVisible(dialog) && IsWindowEnabled(dialog)) Sleep(20);
            }
        });
        Press(Command2);
        answerer.join();
        return seen;
    }

    fs::path folder_ = fs::temp_directory_path() / ("zapnix-capture-" + std::to_string(GetTickCount64()));
    std::unique_ptr<Program> program_ = std::make_unique<Program>(folder_.string());
    CaptureFrm* form_ = nullptr;
    UniqueWindow blocks_;
    HWND button_ = nullptr;
    POINT inRed_{};
};

TEST_F(Capture, ByHandleTakesTheRequestedRectangleOfWhatTheScreenShows) {
    const BmpImage client = ReadPicture(CaptureWindow(blocks_.Get(), true, 140, 0, 20, 10)).value();
    EXPECT_EQ(At(client, {0, 5}), kRed) << "from LeftSrc in the client area";
    EXPECT_EQ(At(client, {19, 5}), kBlue);

    form_->CaptureDropped(blocks_.Get());
    EXPECT_EQ(Shown().width, 300);
    EXPECT_EQ(Shown().height, 200);
    EXPECT_NE(At(Shown(), {1, 1}), kRed) << "the frame is part of the whole window";
    EXPECT_EQ(At(Shown(), inRed_), kRed);

    // No window, the capture window itself minimised, a window off the screen: an empty or partial
    // picture, never a crash nor a bitmap without pixels.
    SetWindowPos(blocks_.Get(), nullptr, -2000, -2000, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    for (HWND degenerate : {HWND{}, form_->Hwnd(), blocks_.Get()}) {
        ShowWindow(form_->Hwnd(), SW_MINIMIZE);
        form_->CaptureDropped(degenerate);
        ShowWindow(form_->Hwnd(), SW_RESTORE);
        EXPECT_FALSE(form_->Current().HasImage() && Shown().width == 0);
    }
    EXPECT_EQ(Shown().width, 300);
    EXPECT_FALSE(CaptureWindow(blocks_.Get(), false, 0, 0, 0, 50).HasImage()) << "no 1 x 1 stand-in";

    SendMessageA(form_->Hwnd(), WM_CLOSE, 0, 0);
    SendMessageA(program_->Main().Hwnd(), WM_COMMAND, ids::MenuCapture, 0);
    EXPECT_FALSE(program_->Main().ExistingCapture()->Current().HasImage()) << "reopened empty";
}

TEST_F(Capture, DraggingTheIconCapturesTheWindowOrTheControlUnderThePointer) {
    INPUT input{INPUT_MOUSE, {}};
    const auto press = [&] {
        RECT r;
        GetWindowRect(GetDlgItem(form_->Hwnd(), Picture2), &r);
        SetCursorPos(r.left + 10, r.top + 10);
        input.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        SendInput(1, &input, sizeof(input));
        testing::Pump(300, kNever);
        EXPECT_TRUE(IsIconic(form_->Hwnd())) << "minimised while dragging";
        EXPECT_FALSE(IsWindowVisible(program_->Main().Hwnd())) << "the main window is hidden while dragging";
    };
    const auto drag = [&](HWND onto, int x, int y) {
        press();
        RECT r;
        GetWindowRect(onto, &r);
        SetCursorPos(r.left + x, r.top + y);
        testing::Pump(100, kNever);
        input.mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(1, &input, sizeof(input));
        testing::Pump(2000, [&] { return !IsIconic(form_->Hwnd()); });
        EXPECT_TRUE(IsWindowVisible(program_->Main().Hwnd()));
        EXPECT_FALSE(IsIconic(form_->Hwnd())) << "restored after the drop";
        return Shown();
    };
    const BmpImage window = drag(blocks_.Get(), 60, inRed_.y - 60 - 10);  // on the title bar
    EXPECT_EQ(window.width, 300);
    EXPECT_EQ(window.height, 200);
    EXPECT_EQ(At(window, inRed_), kRed);
    const BmpImage control = drag(button_, 5, 5);
    EXPECT_EQ(control.width, 80);
    EXPECT_EQ(control.height, 30);
    EXPECT_NE(At(control, {40, 15}), kRed);

    // The mouse taken away mid-drag: no release will come, so both windows come back at once.
    press();
    ReleaseCapture();
    EXPECT_FALSE(IsIconic(form_->Hwnd()));
    EXPECT_TRUE(IsWindowVisible(program_->Main().Hwnd()));
    EXPECT_EQ(Shown().width, 80) << "the picture stays";
    input.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof(input));
    testing::Pump(200, kNever);
}

TEST_F(Capture, ScreenTakesThePrimaryScreenAndSaveWritesIt) {
    const std::vector<std::string> nothing{"Message:|Please capture something before saving!"};
    EXPECT_EQ(Save("never"), nothing);
    Press(Command1);
    EXPECT_EQ(Shown().width, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(Shown().height, GetSystemMetrics(SM_CYSCREEN));
    Press(Command3);
    EXPECT_EQ(Save("never"), nothing);

    form_->CaptureDropped(blocks_.Get());
    EXPECT_EQ(Save(""), std::vector<std::string>{"Message:|Please choose a file name if you wish to save this image!"});
    EXPECT_TRUE(fs::is_empty(folder_ / "capture")) << "nothing written";
    const std::string named = (folder_ / "capture" / "blocks").string();
    EXPECT_EQ(Save(named), std::vector<std::string>{"Message:|Your image has been saved successfully!"});
    // Read back by the system's own loader.
    const Picture loaded{UniqueBitmap(static_cast<HBITMAP>(LoadImageA(nullptr, (named + ".BMP").c_str(), IMAGE_BITMAP,
                                                                      0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION))),
                         {}};
    const BmpImage saved = ReadPicture(loaded).value_or(BmpImage{});
    ASSERT_EQ(saved.width, 300);
    EXPECT_EQ(saved.height, 200);
    EXPECT_EQ(At(saved, inRed_), kRed);
    EXPECT_EQ(At(saved, {inRed_.x + 150, inRed_.y}), kBlue);

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
    EXPECT_EQ(EncodeBmp(image)->size(), 54u + 1024u + 2 * 12u);
}

TEST_F(Capture, AHundredCapturesAndClearsLeaveNoGdiObjectBehind) {
    Press(Command1);
    Press(Command3);
    const long before = GdiObjectsInUse();
    for (int i = 0; i < 100; ++i) {
        Press(Command1);
        form_->CaptureDropped(blocks_.Get());
        UpdateWindow(form_->Hwnd());
        Press(Command3);
    }
    EXPECT_EQ(GdiObjectsInUse(), before);
}

}  // namespace
}  // namespace zapnix
