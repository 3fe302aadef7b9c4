// The links, the About box and the tray icon's retries, on a main window whose shell is a stand-in.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/AboutIds.h"
#include "app/ZapnixFrm.h"
#include "app/ZapnixIds.h"
#include "app/resources/resource.h"
#include "platform/Win32TextCase.h"
#include "platform/Win32WindowSystem.h"
#include "WinTestSupport.h"

namespace zapnix {
namespace {

using testing::Pump;

class RecordingShell final : public Shell {
public:
    void Open(const std::string& url) override { opened.push_back(url); }
    std::vector<std::string> opened;
};

// A notification area that may not be there yet, or that may do an add and still answer that it failed
// (a shell too busy to answer in time).
class StandInTray final : public NotificationArea {
public:
    bool Notify(DWORD message, const NOTIFYICONDATAA&) override {
        if (message == NIM_ADD) ++adds;
        if (!ready) return false;
        switch (message) {
            case NIM_ADD: {
                const bool added = !icon;
                icon = true;
                if (lostAnswers > 0) return --lostAnswers, false;
                return added;
            }
            case NIM_MODIFY:
                return icon;
            case NIM_DELETE:
                return std::exchange(icon, false);
            default:
                return false;
        }
    }
    bool ready = true;
    int lostAnswers = 0;
    int adds = 0;
    bool icon = false;
};

std::vector<HWND> ThreadWindowsOfClass(const char* className) {
    struct Found {
        const char* className;
        std::vector<HWND> windows;
    } found{className, {}};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto& f = *reinterpret_cast<Found*>(param);
            if (testing::ClassOf(hwnd) == f.className) f.windows.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.windows;
}

// A bitmap's pixels, top row first, as 0xRRGGBB.
std::vector<std::uint32_t> RgbPixels(HDC dc, HBITMAP bitmap, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    GetDIBits(dc, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    for (std::uint32_t& pixel : pixels) pixel &= 0xFFFFFF;
    return pixels;
}

class AboutAndTray : public ::testing::Test {
protected:
    void TearDown() override {
        main_.reset();
        // Destroying the main window ends the message loop: leave no quit message for the next test.
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    void Start() {
        std::filesystem::create_directories(folder_);
        main_ = std::make_unique<ZapnixFrm>(context_);
        ASSERT_TRUE(main_->Create());
    }
    void Command(int id) { SendMessageA(main_->Hwnd(), WM_COMMAND, id, 0); }

    std::filesystem::path folder_ =
        std::filesystem::temp_directory_path() / ("zapnix-about-" + std::to_string(GetCurrentProcessId()));
    Win32WindowSystem windows_;
    Win32TextCase textCase_;
    RecordingShell shell_;
    StandInTray tray_;
    UniqueWindow owner_{CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr)};
    WindowContext context_{folder_.string(), owner_.Get(), LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION)),
                           windows_, textCase_, shell_, tray_};
    std::unique_ptr<ZapnixFrm> main_;
};

TEST_F(AboutAndTray, LinksHandTheMakersPagesToTheShell) {
    Start();
    Command(ids::MenuHome);
    Command(ids::MenuForum);
    EXPECT_EQ(shell_.opened, (std::vector<std::string>{"http://127.0.0.1/", "http://127.0.0.1/perl/forum/gforum.cgi"}));
}

TEST_F(AboutAndTray, AboutTwiceIsOneDarkGreyBoxWithThePictureInItsPictureBoxCorner) {
    Start();
    Command(ids::MenuAbout);
    Command(ids::MenuAbout);
    const std::vector<HWND> boxes = ThreadWindowsOfClass("AboutFrm");
    ASSERT_EQ(boxes.size(), 1u);
    HWND about = boxes[0];
    EXPECT_TRUE(IsWindowVisible(about));
    EXPECT_EQ(testing::TextOf(about), "Zapnix Popup Killer");

    const DpiScale scale = DpiScale::ForWindow(about);
    RECT client{}, pic{};
    GetClientRect(about, &client);
    EXPECT_EQ(client.right, scale(312));
    EXPECT_EQ(client.bottom, scale(213));
    GetWindowRect(GetDlgItem(about, ids::about::AboutPic), &pic);
    MapWindowPoints(nullptr, about, reinterpret_cast<POINT*>(&pic), 2);
    EXPECT_EQ(pic.left, scale(24));
    EXPECT_EQ(pic.top, scale(16));
    EXPECT_EQ(pic.right - pic.left, scale(281));
    EXPECT_EQ(pic.bottom - pic.top, scale(185));

    UpdateWindow(about);
    Pump(300, [] { return false; });
    const WindowDc screen(about);
    const COLORREF grey = RGB(64, 64, 64);
    EXPECT_EQ(GetPixel(screen.Get(), 3, 3), grey) << "the box's own client";
    EXPECT_EQ(GetPixel(screen.Get(), pic.right - 3, pic.top + 5), grey) << "the picture box right of the picture";
    EXPECT_EQ(GetPixel(screen.Get(), pic.left + 5, pic.bottom - 2), grey) << "the picture box below the picture";

    // At 96 dots per inch the picture is shown pixel for pixel.
    if (scale.Dpi() != 96) return;
    const UniqueBitmap picture(static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_ABOUT), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    ASSERT_TRUE(picture);
    BITMAP size{};
    GetObjectA(picture.Get(), sizeof(size), &size);
    ASSERT_EQ(size.bmWidth, 270);
    ASSERT_EQ(size.bmHeight, 180);
    EXPECT_EQ(size.bmBitsPixel, 24);
    const UniqueBitmap shown(CreateCompatibleBitmap(screen.Get(), 270, 180));
    {
        const UniqueMemoryDc memory(CreateCompatibleDC(screen.Get()));
        const SelectionGuard selected(memory.Get(), shown.Get());
        BitBlt(memory.Get(), 0, 0, 270, 180, screen.Get(), pic.left, pic.top, SRCCOPY);
    }
    const std::vector<std::uint32_t> expected = RgbPixels(screen.Get(), picture.Get(), 270, 180);
    const std::vector<std::uint32_t> actual = RgbPixels(screen.Get(), shown.Get(), 270, 180);
    std::size_t differing = 0;
    for (std::size_t i = 0; i < expected.size(); ++i) differing += expected[i] != actual[i];
    EXPECT_EQ(differing, 0u) << "pixels of the picture box's top-left 270 x 180 that are not the picture's";
}

TEST_F(AboutAndTray, AMissingIconIsAskedForAgainUntilTheShellTakesIt) {
    tray_.ready = false;
    Start();
    main_->HideToTray();
    EXPECT_FALSE(main_->Tray().Present());
    Pump(3 * TrayIcon::kRetryMs, [&] { return tray_.adds >= 2; });
    ASSERT_GE(tray_.adds, 2) << "asked again while the shell is not there";
    EXPECT_FALSE(main_->Tray().Present());

    tray_.ready = true;
    Pump(2 * TrayIcon::kRetryMs, [&] { return main_->Tray().Present(); });
    ASSERT_TRUE(tray_.icon) << "the icon came once the shell was there";
    EXPECT_TRUE(main_->Tray().Present());
    const int adds = tray_.adds;
    Pump(TrayIcon::kRetryMs + 500, [] { return false; });
    EXPECT_EQ(tray_.adds, adds) << "nothing more is asked once the icon is there";
}

TEST_F(AboutAndTray, AnAddAnsweredAsFailedButDoneCountsAsTheIcon) {
    tray_.lostAnswers = 1;
    Start();
    main_->HideToTray();
    EXPECT_TRUE(main_->Tray().Present());
    Pump(TrayIcon::kRetryMs + 500, [] { return false; });
    EXPECT_EQ(tray_.adds, 1) << "no retry for an icon that is there";
}

TEST_F(AboutAndTray, AWindowShownAgainStopsAskingForTheIcon) {
    tray_.ready = false;
    Start();
    main_->HideToTray();
    SendMessageA(main_->Hwnd(), kTrayCallbackMessage, 1, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(IsWindowVisible(main_->Hwnd()));
    tray_.ready = true;
    Pump(TrayIcon::kRetryMs + 500, [] { return false; });
    EXPECT_FALSE(tray_.icon) << "no icon beside a shown window";
}

}  // namespace
}  // namespace zapnix
