#include "Driver.h"

#include <commctrl.h>
#include <shellapi.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace zapnix::e2e {
namespace {

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..") continue;
            const std::string full = folder + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full);
            } else {
                SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(full.c_str());
            }
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

struct Search {
    DWORD processId;
    const char* className;
    const char* caption;
    bool visibleOnly = false;
    HWND found = nullptr;
    int count = 0;
    bool countAll = false;  // go on after the first match, counting
};

BOOL CALLBACK FindOfProcess(HWND hwnd, LPARAM param) {
    auto& search = *reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != search.processId) return TRUE;
    if (search.visibleOnly && !IsWindowVisible(hwnd)) return TRUE;
    char cls[260] = {};
    GetClassNameA(hwnd, cls, sizeof(cls));
    // IMESKIP
    if (search.className && lstrcmpiA(cls, search.className) != 0) return TRUE;
    if (search.caption && WindowText(hwnd) != search.caption) return TRUE;
    search.found = hwnd;
    ++search.count;
    return search.countAll ? TRUE : FALSE;
}

}  // namespace

std::string PathFromEnvironment(const char* name) {
    char buffer[MAX_PATH * 4] = {};
    GetEnvironmentVariableA(name, buffer, sizeof(buffer));
    std::string path = buffer;
    for (char& c : path)
        if (c == '/') c = '\\';
    if (!path.empty() && path[0] == '\\') path = "Z:" + path;
    return path;
}

std::string WindowText(HWND hwnd) {
    // GetWindowText does not ask another program's controls for their text: WM_GETTEXT does.
    char text[1024] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000,
                             &copied))
        return {};
    return std::string(text, std::min<std::size_t>(copied, sizeof(text) - 1));
}

ScratchFolder::ScratchFolder(const std::string& stem) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    static int counter = 0;
    for (;;) {
        path_ =
            std::string(temp) + stem + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
        if (CreateDirectoryA(path_.c_str(), nullptr)) break;
        if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("cannot create " + path_);
    }
}

ScratchFolder::~ScratchFolder() {
    RemoveTree(path_);
}

void ScratchFolder::Write(const std::string& name, const std::string& bytes) const {
    std::ofstream file(File(name), std::ios::binary);
    if (!file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())))
        throw std::runtime_error("cannot write " + File(name));
}

std::optional<std::string> ScratchFolder::Read(const std::string& name) const {
    std::ifstream file(File(name), std::ios::binary);
    if (!file) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), {});
}

Process::Process(const std::string& exe, const std::string& arguments, const std::string& folder) {
    std::string commandLine = "\"" + exe + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &info_))
        throw std::runtime_error("cannot start " + exe);
    WaitForInputIdle(info_.hProcess, 10000);
}

namespace {

std::string CopiedZapnix(const ScratchFolder& folder) {
    const std::string exe = folder.File("Zapnix.exe");
    const std::string built = PathFromEnvironment("ZAPNIX_EXE");
    if (GetFileAttributesA(exe.c_str()) == INVALID_FILE_ATTRIBUTES &&
        !CopyFileA(built.c_str(), exe.c_str(), FALSE))
        throw std::runtime_error("cannot copy Zapnix.exe from " + built);
    return exe;
}

std::string PopupHostPath() {
    char buffer[MAX_PATH * 4] = {};
    GetModuleFileNameA(nullptr, buffer, sizeof(buffer));
    std::string path = buffer;
    return path.substr(0, path.find_last_of('\\')) + "\\PopupHost.exe";
}

std::string Quoted(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& argument : arguments) line += "\"" + argument + "\" ";
    return line;
}

}  // namespace

ZapnixProcess::ZapnixProcess(const ScratchFolder& folder) : Process(CopiedZapnix(folder), "", folder.Path()) {}

std::string PopupHost::CopiedAs(const ScratchFolder& folder, const std::string& exeName) {
    const std::string exe = folder.File(exeName);
    if (!CopyFileA(PopupHostPath().c_str(), exe.c_str(), FALSE))
        throw std::runtime_error("cannot copy PopupHost.exe to " + exe);
    return exe;
}

PopupHost::PopupHost(const std::vector<std::string>& windows, const std::string& exe)
    : Process(exe.empty() ? PopupHostPath() : exe, Quoted(windows), "") {
    // Ready once it says it has opened every window it was asked for: some may be gone already, closed by
    // Zapnix the moment they appeared. Whichever of the two makes the event first, both hold the one.
    const std::string name = "PopupHostReady" + std::to_string(Id());
    const HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, name.c_str());
    WaitUntil([&] { return WaitForSingleObject(ready, 0) == WAIT_OBJECT_0 || !Running(); });
    CloseHandle(ready);
}

HWND PopupHost::Window(const std::string& className, const std::string& title) const {
    return FindWindowOf(className.c_str(), title.c_str());
}

Process::~Process() {
    if (!info_.hProcess) return;
    if (Running()) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

bool Process::Running() const {
    return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Process::WaitForExit(std::chrono::milliseconds timeout) const {
    return WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

HWND Process::FindWindowOf(const char* className, const char* caption) const {
    Search search{info_.dwProcessId, className, caption};
    EnumWindows(FindOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int Process::CountWindowsOf(const char* className) const {
    Search search{info_.dwProcessId, className, nullptr, true};
    search.countAll = true;
    EnumWindows(FindOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.count;
}

HWND ZapnixProcess::MainWindow(std::chrono::milliseconds timeout) const {
    return WaitForWindowOf("ZapnixFrm", timeout);
}

HWND ZapnixProcess::LogWindow(std::chrono::milliseconds timeout) const {
    return WaitForWindowOf("LogFrm", timeout);
}

HWND ZapnixProcess::WaitForWindowOf(const char* className, std::chrono::milliseconds timeout) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindWindowOf(className, "Zapnix Popup Killer")) != nullptr; }, timeout);
    return found;
}

std::optional<MessageBoxInfo> Process::WaitForMessageBox(const char* title, std::chrono::milliseconds timeout) const {
    Search search{info_.dwProcessId, "#32770", title, true};
    if (!WaitUntil(
            [&] {
                EnumWindows(FindOfProcess, reinterpret_cast<LPARAM>(&search));
                return search.found != nullptr;
            },
            timeout))
        return std::nullopt;
    HWND box = search.found;
    return MessageBoxInfo{box, WindowText(box), WindowText(GetDlgItem(box, 0xFFFF))};
}

std::vector<std::vector<std::string>> Process::ListRows(HWND list, int columns) const {
    // The list view lives in another process: its answers go through a buffer in that process.
    constexpr SIZE_T kTextSize = 1024;
    std::vector<std::vector<std::string>> rows;
    void* remote =
        VirtualAllocEx(info_.hProcess, nullptr, sizeof(LVITEMA) + kTextSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote) return rows;
    auto* remoteText = static_cast<char*>(remote) + sizeof(LVITEMA);
    const auto count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        std::vector<std::string> cells;
        for (int column = 0; column < columns; ++column) {
            LVITEMA item{};
            item.mask = LVIF_TEXT;
            item.iItem = row;
            item.iSubItem = column;
            item.pszText = remoteText;
            item.cchTextMax = kTextSize;
            WriteProcessMemory(info_.hProcess, remote, &item, sizeof(item), nullptr);
            const auto length = SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(remote));
            char text[kTextSize] = {};
            ReadProcessMemory(info_.hProcess, remoteText, text, kTextSize - 1, nullptr);
            cells.emplace_back(text, static_cast<size_t>(length > 0 ? length : 0));
        }
        rows.push_back(std::move(cells));
    }
    VirtualFreeEx(info_.hProcess, remote, 0, MEM_RELEASE);
    return rows;
}

bool Process::ListRowTicked(HWND list, int row) const {
    return SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
}

void Process::ClickListRow(HWND list, int row, bool onTickBox) const {
    // The row's place comes back through a buffer in the list's own process.
    void* remote = VirtualAllocEx(info_.hProcess, nullptr, sizeof(RECT), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote) return;
    RECT bounds{LVIR_BOUNDS, 0, 0, 0};
    WriteProcessMemory(info_.hProcess, remote, &bounds, sizeof(bounds), nullptr);
    SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(info_.hProcess, remote, &bounds, sizeof(bounds), nullptr);
    VirtualFreeEx(info_.hProcess, remote, 0, MEM_RELEASE);
    const int x = bounds.left + (onTickBox ? 10 : 60);
    const int y = (bounds.top + bounds.bottom) / 2;
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void Click(HWND button) {
    PostMessageA(button, BM_CLICK, 0, 0);
}

void ChooseCommand(HWND window, int commandId) {
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(commandId, 0), 0);
}

void Answer(const MessageBoxInfo& box, int buttonId) {
    PostMessageA(box.hwnd, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box.hwnd, buttonId)));
    // Answered means gone: a box still closing must not pass for the next one.
    WaitUntil([&] { return !IsWindow(box.hwnd); });
}

void SendTrayEvent(HWND owner, UINT mouseMessage) {
    PostMessageA(owner, WM_MOUSEMOVE, 1, mouseMessage);
}

namespace {

NOTIFYICONDATAA IconOf(HWND owner, UINT id) {
    NOTIFYICONDATAA icon{};
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = owner;
    icon.uID = id;
    return icon;
}

}  // namespace

bool TrayIconPresent(HWND owner, UINT id) {
    // Modifying nothing succeeds exactly when the shell holds an icon for this window and identifier.
    NOTIFYICONDATAA probe = IconOf(owner, id);
    return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

void SimulateShellRestart(HWND owner) {
    NOTIFYICONDATAA icon = IconOf(owner, 1);
    Shell_NotifyIconA(NIM_DELETE, &icon);
    PostMessageA(owner, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
}

void TypeText(HWND control, const std::string& text) {
    for (unsigned char c : text) PostMessageA(control, WM_CHAR, c, 1);
}

void EraseText(HWND edit) {
    PostMessageA(edit, EM_SETSEL, 0, -1);
    PostMessageA(edit, WM_CHAR, VK_BACK, 1);
}

void PressKey(HWND window, UINT virtualKey) {
    PostMessageA(window, WM_KEYDOWN, virtualKey, 1);
    PostMessageA(window, WM_KEYUP, virtualKey, 0xC0000001);
}

void DragWithMouse(POINT from, POINT to, bool rightButton) {
    const auto sendButton = [rightButton](bool down) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = rightButton ? (down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP)
                                       : (down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
        SendInput(1, &input, sizeof(input));
    };
    SetCursorPos(from.x, from.y);
    Sleep(100);
    sendButton(true);
    Sleep(100);
    constexpr int kSteps = 10;
    for (int i = 1; i <= kSteps; ++i) {
        const int x = from.x + (to.x - from.x) * i / kSteps;
        const int y = from.y + (to.y - from.y) * i / kSteps;
        INPUT move{};
        move.type = INPUT_MOUSE;
        move.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
        move.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
        move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &move, sizeof(move));
        Sleep(20);
    }
    SetCursorPos(to.x, to.y);
    Sleep(100);
    sendButton(false);
}

POINT CentreOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

POINT TitleBarOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return POINT{(rect.left + rect.right) / 2, rect.top + GetSystemMetrics(SM_CYCAPTION) / 2 + 2};
}

HWND OpenPopupMenu(DWORD processId) {
    Search search{processId, "#32768", nullptr, true};
    EnumWindows(FindOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace zapnix::e2e
