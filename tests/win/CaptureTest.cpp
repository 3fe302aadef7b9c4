// The capture window in this process: real captures of a window painted with known colours, a real
// drag of the icon, the save through the system's dialog, and what a hundred captures leave behind.

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
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
using testing::Pump;
constexpr Rgb kRed{0xFF, 0, 0}, kBlue{0, 0, 0xFF};

// Red left half, blue right half, with a button in the red half.
LRESULT CALLBACK BlocksProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return DefWindowProcA(hwnd, message, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    const UniqueGdi<HBRUSH> red(CreateSolidBrush(RGB(255, 0, 0))), blue(CreateSolidBrush(RGB(0, 0, 255)));
    RECT left{0, 0, r.right / 2, r.bottom}, right{r.right / 2, 0, r.right, r.bottom};
    FillRect(dc, &left, red.Get());
    FillRect(dc, &right, blue.Get());
    EndPaint(hwnd, &ps);
    return 0;
}

Rgb At(const BmpImage& image, int x, int y) {
    return image.pixels[static_cast<std::size_t>(y * image.width + x)];
}

// The pixels of a bitmap file as the system's own loader reads them.
BmpImage LoadWithSystem(const fs::path& file) {
    Picture loaded{UniqueBitmap(static_cast<HBITMAP>(LoadImageA(nullptr, file.string().c_str(), IMAGE_BITMAP, 0, 0,
                                                                LR_LOADFROMFILE | LR_CREATEDIBSECTION))),
                   {}};
    return ReadPicture(loaded).value_or(BmpImage{});
}

// GDI objects of this process. Wine 8 does not count them (GetGuiResources answers 0), so there they are
// read off its handle table: new handles take freed slots first, then extend the table, so the highest
// slot taken by a batch of new objects is the number in use plus the batch.
long GdiObjectsInUse() {
    if (const DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<long>(n);
    std::vector<HBRUSH> batch(8192);
    long highest = 0;
    for (HBRUSH& b : batch) {
        b = CreateSolidBrush(0);
        highest = std::max(highest, static_cast<long>(LOWORD(reinterpret_cast<UINT_PTR>(b))));
    }
    for (HBRUSH b : batch) DeleteObject(b);
    return highest - static_cast<long>(batch.size());
}

class Capture : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("zapnix-capture-" + std::to_string(GetTickCount64()));
        fs::create_directories(folder_ / "capture");
        program_ = std::make_unique<Program>(folder_.string());
        ASSERT_TRUE(program_->Start());
        SendMessageA(program_->Main().Hwnd(), WM_COMMAND, ids::MenuCapture, 0);
        form_ = program_->Main().ExistingCapture();
        ASSERT_NE(form_, nullptr);
        SetWindowPos(form_->Hwnd(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);

        WNDCLASSA wc{};
        wc.lpfnWndProc = BlocksProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "CaptureBlocks";
        RegisterClassA(&wc);
        blocks_.Reset(CreateWindowExA(WS_EX_TOPMOST, "CaptureBlocks", "Blocks", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 560,
                                      200, 300, 200, nullptr, nullptr, nullptr, nullptr));
        button_ = CreateWindowExA(0, "BUTTON", "Inside", WS_CHILD | WS_VISIBLE, 20, 20, 80, 30, blocks_.Get(), nullptr,
                                  nullptr, nullptr);
        UpdateWindow(blocks_.Get());
        Pump(300, [] { return false; });
    }
    void TearDown() override {
        blocks_.Reset();
        program_.reset();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    void Press(int id) { SendMessageA(form_->Hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    BmpImage Shown() const { return ReadPicture(form_->Current()).value_or(BmpImage{}); }
    // Where the blocks window's client area starts within the whole window.
    POINT ClientOffset() const {
        RECT outer;
        GetWindowRect(blocks_.Get(), &outer);
        POINT origin{0, 0};
        ClientToScreen(blocks_.Get(), &origin);
        return POINT{origin.x - outer.left, origin.y - outer.top};
    }

    // Presses Save with the dialogs answered from another thread, in order: a file name typed into the
    // save dialog ("" cancels it), then each box's button. Gives the boxes' "title|text".
    std::vector<std::string> Save(const std::string& name, std::vector<int> buttons = {IDOK}) {
        std::vector<std::string> seen;
        std::thread answerer([&, thread = GetCurrentThreadId()] {
            bool named = false;
            for (std::size_t done = 0; done < buttons.size();) {
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
                HWND field = GetDlgItem(dialog, 0x47C) ? GetDlgItem(dialog, 0x47C) : GetDlgItem(dialog, 0x480);
                if (field && !named) {
                    named = true;
                    if (!name.empty()) SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
                    PostMessageA(dialog, WM_COMMAND, name.empty() ? IDCANCEL : IDOK, 0);
                } else if (!field) {
                    seen.push_back(testing::TextOf(dialog) + "|" + testing::TextOf(GetDlgItem(dialog, 0xFFFF)));
                    PostMessageA(dialog, WM_COMMAND, buttons[done++], 0);
                }
                while (IsWindowVisible(dialog) && IsWindowEnabled(dialog)) Sleep(20);
            }
        });
        Press(ids::capture::Command2);
        answerer.join();
        return seen;
    }

    fs::path folder_;
    std::unique_ptr<Program> program_;
    CaptureFrm* form_ = nullptr;
    UniqueWindow blocks_;
    HWND button_ = nullptr;
};

TEST_F(Capture, ByHandleTakesTheRequestedRectangleOfWhatTheScreenShows) {
    RECT client;
    GetClientRect(blocks_.Get(), &client);
    const BmpImage inner = ReadPicture(CaptureWindow(blocks_.Get(), true, 0, 0, client.right, client.bottom)).value();
    EXPECT_EQ(At(inner, 2, 60), kRed);
    EXPECT_EQ(At(inner, client.right - 3, client.bottom - 3), kBlue);
    const BmpImage shifted = ReadPicture(CaptureWindow(blocks_.Get(), true, client.right / 2, 0, 10, 10)).value();
    EXPECT_EQ(At(shifted, 0, 0), kBlue) << "LeftSrc moves the copied rectangle";

    form_->CaptureDropped(blocks_.Get());
    const BmpImage whole = Shown();
    const POINT offset = ClientOffset();
    EXPECT_EQ(whole.width, 300);
    EXPECT_EQ(whole.height, 200);
    EXPECT_NE(At(whole, 1, 1), kRed) << "the frame is part of the whole window";
    EXPECT_EQ(At(whole, offset.x + 2, offset.y + 60), kRed);

    // No window at all, the capture window itself minimised, a window off the screen: an empty or
    // partial picture, no crash.
    SetWindowPos(blocks_.Get(), nullptr, -2000, -2000, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    for (HWND degenerate : {HWND{}, form_->Hwnd(), blocks_.Get()}) {
        ShowWindow(form_->Hwnd(), SW_MINIMIZE);
        form_->CaptureDropped(degenerate);
        ShowWindow(form_->Hwnd(), SW_RESTORE);
        EXPECT_FALSE(form_->Current().HasImage() && Shown().width == 0);
    }
    EXPECT_EQ(Shown().width, 300);

    // Closing the window drops its picture: the next one starts empty.
    SendMessageA(form_->Hwnd(), WM_CLOSE, 0, 0);
    SendMessageA(program_->Main().Hwnd(), WM_COMMAND, ids::MenuCapture, 0);
    EXPECT_FALSE(program_->Main().ExistingCapture()->Current().HasImage());
    form_ = program_->Main().ExistingCapture();
    EXPECT_TRUE(CaptureWindow(blocks_.Get(), false, 0, 0, 0, 50).bitmap.Get() == nullptr) << "no 1 x 1 stand-in";
}

TEST_F(Capture, DraggingTheIconCapturesTheWindowOrTheControlUnderThePointer) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    const auto press = [&] {
        RECT r;
        GetWindowRect(GetDlgItem(form_->Hwnd(), ids::capture::Picture2), &r);
        SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        input.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        SendInput(1, &input, sizeof(input));
        Pump(300, [] { return false; });
        EXPECT_TRUE(IsIconic(form_->Hwnd())) << "minimised while dragging";
        EXPECT_FALSE(IsWindowVisible(program_->Main().Hwnd())) << "the main window is hidden while dragging";
    };
    const auto drag = [&](POINT to) {
        press();
        SetCursorPos(to.x, to.y);
        Pump(100, [] { return false; });
        input.mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(1, &input, sizeof(input));
        Pump(2000, [&] { return !IsIconic(form_->Hwnd()); });
        EXPECT_TRUE(IsWindowVisible(program_->Main().Hwnd()));
        EXPECT_FALSE(IsIconic(form_->Hwnd())) << "restored after the drop";
        return Shown();
    };
    RECT outer;
    GetWindowRect(blocks_.Get(), &outer);
    const BmpImage window = drag(POINT{outer.left + 60, outer.top + ClientOffset().y / 2});
    EXPECT_EQ(window.width, 300);
    EXPECT_EQ(window.height, 200);
    EXPECT_EQ(At(window, ClientOffset().x + 2, ClientOffset().y + 60), kRed);

    RECT button;
    GetWindowRect(button_, &button);
    const BmpImage control = drag(POINT{button.left + 5, button.top + 5});
    EXPECT_EQ(control.width, 80);
    EXPECT_EQ(control.height, 30);
    EXPECT_NE(At(control, 40, 15), kRed);

    // The mouse taken away mid-drag: no release will come, so both windows come back at once.
    press();
    ReleaseCapture();
    EXPECT_FALSE(IsIconic(form_->Hwnd()));
    EXPECT_TRUE(IsWindowVisible(program_->Main().Hwnd()));
    EXPECT_EQ(Shown().width, 80) << "the picture stays";
    input.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof(input));
    Pump(200, [] { return false; });
}

TEST_F(Capture, ScreenTakesThePrimaryScreenAndSaveWritesIt) {
    EXPECT_EQ(Save("never"), std::vector<std::string>{"Message:|Please capture something before saving!"});
    Press(ids::capture::Command1);
    EXPECT_EQ(Shown().width, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(Shown().height, GetSystemMetrics(SM_CYSCREEN));
    Press(ids::capture::Command3);
    EXPECT_EQ(Save("never"), std::vector<std::string>{"Message:|Please capture something before saving!"});

    form_->CaptureDropped(blocks_.Get());
    EXPECT_EQ(Save(""), std::vector<std::string>{"Message:|Please choose a file name if you wish to save this image!"});
    EXPECT_TRUE(fs::is_empty(folder_ / "capture")) << "nothing written";

    const fs::path named = folder_ / "capture" / "blocks";
    EXPECT_EQ(Save(named.string()), std::vector<std::string>{"Message:|Your image has been saved successfully!"});
    const BmpImage saved = LoadWithSystem(fs::path(named.string() + ".BMP"));
    ASSERT_EQ(saved.width, 300);
    EXPECT_EQ(saved.height, 200);
    EXPECT_EQ(At(saved, ClientOffset().x + 2, ClientOffset().y + 60), kRed);
    EXPECT_EQ(At(saved, 297 - ClientOffset().x, ClientOffset().y + 60), kBlue);

    const fs::path locked = folder_ / "capture" / "locked.bmp";
    std::ofstream(locked) << "old";
    SetFileAttributesA(locked.string().c_str(), FILE_ATTRIBUTE_READONLY);
    const auto boxes = Save(locked.string(), {IDYES, IDOK});  // yes, replace it
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1], "Error:|Your image could not be saved to " + locked.string() + ".");
    EXPECT_EQ(fs::file_size(locked), 3u) << "the old file stays as it was";
    SetFileAttributesA(locked.string().c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(CapturePicture, APaletteTakenWithThePictureGoesIntoTheFile) {
    PALETTEENTRY entries[256];
    for (int i = 0; i < 256; ++i) entries[i] = PALETTEENTRY{BYTE(i), BYTE(255 - i), 7, 0};
    const WindowDc screen(nullptr);
    const Picture picture =
        CreateBitmapPicture(CreateCompatibleBitmap(screen.Get(), 4, 2), CreatePaletteOf(entries).Release());
    const BmpImage image = ReadPicture(picture).value();
    ASSERT_EQ(image.palette.size(), 256u);
    EXPECT_EQ(image.palette[200].red, 200);
    EXPECT_EQ(image.palette[200].green, 55);
    EXPECT_EQ(EncodeBmp(image)->size(), 54u + 1024u + 2 * 12u);
}

TEST_F(Capture, AHundredCapturesAndClearsLeaveNoGdiObjectBehind) {
    Press(ids::capture::Command1);
    Press(ids::capture::Command3);
    const long before = GdiObjectsInUse();
    for (int i = 0; i < 100; ++i) {
        Press(ids::capture::Command1);
        form_->CaptureDropped(blocks_.Get());
        UpdateWindow(form_->Hwnd());
        Press(ids::capture::Command3);
    }
    EXPECT_EQ(GdiObjectsInUse(), before);
}

}  // namespace
}  // namespace zapnix
