#pragma once
// Works Zapnix.exe from the outside, as a user would: starts it in a scratch folder, finds its windows
// by class and caption, presses buttons, answers message boxes, reads its list views and files, and
// speaks to it as the notification area would.

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace zapnix::e2e {

using namespace std::chrono_literals;

// A fresh folder under the temporary folder, removed with everything in it when the object goes.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& stem = "zapnix-e2e");
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }
    void Write(const std::string& name, const std::string& bytes) const;
    std::optional<std::string> Read(const std::string& name) const;

private:
    std::string path_;
};

template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds timeout = 10s) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        Sleep(20);
    }
}

struct MessageBoxInfo {
    HWND hwnd = nullptr;
    std::string title;
    std::string text;
};

// A program started by a test; ended with the object if it still runs.
class Process {
public:
    Process(const std::string& exe, const std::string& arguments, const std::string& folder = "");
    virtual ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    DWORD Id() const { return info_.dwProcessId; }
    bool Running() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
    bool WaitForExit(std::chrono::milliseconds timeout = 15s) const {
        return WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
    }

    // Its top-level windows of the class and caption (nullptr: any), the visible ones only if asked.
    std::vector<HWND> WindowsOf(const char* className, const char* caption, bool visibleOnly = false) const;
    HWND FindWindowOf(const char* className, const char* caption) const;
    int CountWindowsOf(const char* className) const {
        return static_cast<int>(WindowsOf(className, nullptr, true).size());
    }
    HWND WaitForShown(const char* className, std::chrono::milliseconds timeout = 10s) const;
    // The message box (a #32770 dialog) with this title (nullptr: any), once it shows.
    std::optional<MessageBoxInfo> WaitForMessageBox(const char* title, std::chrono::milliseconds timeout = 10s) const;

    // The rows of a list view of this process: for each row, the texts of `columns` columns.
    std::vector<std::vector<std::string>> ListRows(HWND list, int columns) const;
    bool ListRowTicked(HWND list, int row) const;
    void ClickListRow(HWND list, int row, bool onTickBox) const;  // on its tick box, or on its text

protected:
    PROCESS_INFORMATION info_{};
};

class ZapnixProcess : public Process {
public:
    // Copies Zapnix.exe into `folder` (unless one is there) and starts it there.
    explicit ZapnixProcess(const ScratchFolder& folder);
    // The main window, visible or not (null when it does not appear within the timeout).
    HWND MainWindow(std::chrono::milliseconds timeout = 15s) const;
};

// Windows of other programs, made by PopupHost.exe: each "class|state|title", where the state is
// shown, hidden, minimized or parent (shown, with a child window of the same class and title).
class PopupHost : public Process {
public:
    // `exe`: a copy of PopupHost.exe to run instead, to stand in for a program by its file name.
    explicit PopupHost(const std::vector<std::string>& windows, const std::string& exe = "");
    // Copies PopupHost.exe into the folder under the given file name; the copy's path.
    static std::string CopiedAs(const ScratchFolder& folder, const std::string& exeName);
    HWND Window(const std::string& className, const std::string& title) const {
        return FindWindowOf(className.c_str(), title.c_str());
    }
};

// Posted, so that what they start (a modal box, say) is not waited for.
void Click(HWND button);
void ChooseCommand(HWND window, int commandId);
// Answers a message box with one of its buttons (IDYES, IDNO, IDOK) and waits for it to go.
void Answer(const MessageBoxInfo& box, int buttonId);

// The notification area: what the tray tells the window it serves, and whether that window's icon is
// there now (the shell knows an icon by its window and identifier).
void SendTrayEvent(HWND owner, UINT mouseMessage);
bool TrayIconPresent(HWND owner);
// Removes the window's icon as a restarting shell would lose it, then announces the new taskbar.
void SimulateShellRestart(HWND owner);
// The visible pop-up menu window of a process, if one is open.
HWND OpenPopupMenu(DWORD processId);

// Keyboard input posted to a control of another process: characters, the erasure of an edit field's
// whole text, a key pressed and released.
void TypeText(HWND control, const std::string& text);
void EraseText(HWND edit);
void PressKey(HWND window, UINT virtualKey);

// Real pointer input: presses a button at `from`, moves to `to` in steps and releases it there.
void DragWithMouse(POINT from, POINT to, bool rightButton = false);
POINT CentreOf(HWND window);
POINT TitleBarOf(HWND window);

std::string WindowText(HWND hwnd);

// A file or folder that the build names in an environment variable: a Unix path, which Wine reaches through
// its drive for the root folder ("" when the variable is not set).
std::string PathFromEnvironment(const char* name);

}  // namespace zapnix::e2e
