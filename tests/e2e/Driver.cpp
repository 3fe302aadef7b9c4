#include "Driver.h"

#include <shellapi.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace zapnix::e2e {
namespace fs = std::filesystem;

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
    static int counter = 0;
    do {
        path_ = (fs::temp_directory_path() /
                 (stem + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter)))
                    .string();
    } while (!fs::create_directory(path_));
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void ScratchFolder::Write(const std::string& name, const std::string& bytes) const {
    if (!(std::ofstream(File(name), std::ios::binary) << bytes)) throw std::runtime_error("cannot write " + name);
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

Process::~Process() {
    if (Running()) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

std::vector<HWND> Process::WindowsOf(const char* className, const char* caption, bool visibleOnly) const {
    struct Search {
        const Process* self;
        const char* className;
        const char* caption;
        bool visibleOnly;
        std::vector<HWND> found;
    } search{this, className, caption, visibleOnly, {}};
    EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(param);
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            char cls[260] = {};
            GetClassNameA(hwnd, cls, sizeof(cls));
            if (pid == s.self->Id() && (!s.visibleOnly || IsWindowVisible(hwnd)) &&
                (!s.className || lstrcmpiA(cls, s.className) == 0) && (!s.caption || WindowText(hwnd) == s.caption))
                s.found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND Process::FindWindowOf(const char* className, const char* caption) const {
    const std::vector<HWND> found = WindowsOf(className, caption);
    return found.empty() ? nullptr : found.front();
}

HWND Process::WaitForShown(const char* className, std::chrono::milliseconds timeout) const {
    std::vector<HWND> shown;
    WaitUntil([&] { return !(shown = WindowsOf(className, nullptr, true)).empty(); }, timeout);
    return shown.empty() ? nullptr : shown.front();
}

std::optional<MessageBoxInfo> Process::WaitForMessageBox(const char* title, std::chrono::milliseconds timeout) const {
    std::vector<HWND> boxes;
    if (!WaitUntil([&] { return !(boxes = WindowsOf("#32770", title, true)).empty(); }, timeout)) return std::nullopt;
    return MessageBoxInfo{boxes.front(), WindowText(boxes.front()), WindowText(GetDlgItem(boxes.front(), 0xFFFF))};
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
        std::vector<std::string>& cells = rows.emplace_back();
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
    const LPARAM at = MAKELPARAM(bounds.left + (onTickBox ? 10 : 60), (bounds.top + bounds.bottom) / 2);
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(list, WM_LBUTTONUP, 0, at);
}

namespace {

std::string CopiedZapnix(const ScratchFolder& folder) {
    const std::string exe = folder.File("Zapnix.exe");
    const std::string built = PathFromEnvironment("ZAPNIX_EXE");
    if (GetFileAttributesA(exe.c_str()) == INVALID_FILE_ATTRIBUTES && !CopyFileA(built.c_str(), exe.c_str(), FALSE))
        throw std::runtime_error("cannot copy Zapnix.exe from " + built);
    return exe;
}

std::string PopupHostPath() {
    char buffer[MAX_PATH * 4] = {};
    GetModuleFileNameA(nullptr, buffer, sizeof(buffer));
    const std::string path = buffer;
    return path.substr(0, path.find_last_of('\\')) + "\\PopupHost.exe";
}

std::string Quoted(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& argument : arguments) line += "\"" + argument + "\" ";
    return line;
}

}  // namespace

ZapnixProcess::ZapnixProcess(const ScratchFolder& folder) : Process(CopiedZapnix(folder), "", folder.Path()) {}

HWND ZapnixProcess::MainWindow(std::chrono::milliseconds timeout) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindWindowOf("ZapnixFrm", "Zapnix Popup Killer")) != nullptr; }, timeout);
    return found;
}

std::string PopupHost::CopiedAs(const ScratchFolder& folder, const std::string& exeName) {
    const std::string exe = folder.File(exeName);
    if (!CopyFileA(PopupHostPath().c_str(), exe.c_str(), FALSE))
        throw std::runtime_error("cannot copy PopupHost.exe to " + exe);
    return exe;
}

PopupHost::PopupHost(const std::vector<std::string>& windows, const std::string& exe)
    : Process(exe.empty() ? PopupHostPath() : exe, Quoted(windows)) {
    // Ready once it says it has opened every window it was asked for: some may be gone already, closed by
    // Zapnix the moment they appeared. Whichever of the two makes the event first, both hold the one.
    const HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, ("PopupHostReady" + std::to_string(Id())).c_str());
    WaitUntil([&] { return WaitForSingleObject(ready, 0) == WAIT_OBJECT_0 || !Running(); });
    CloseHandle(ready);
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

NOTIFYICONDATAA IconOf(HWND owner) {
    NOTIFYICONDATAA icon{};
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = owner;
    icon.uID = 1;
    return icon;
}

bool TrayIconPresent(HWND owner) {
    // Modifying nothing succeeds exactly when the shell holds an icon for this window and identifier.
    NOTIFYICONDATAA icon = IconOf(owner);
    return Shell_NotifyIconA(NIM_MODIFY, &icon) != FALSE;
}

void SimulateShellRestart(HWND owner) {
    NOTIFYICONDATAA icon = IconOf(owner);
    Shell_NotifyIconA(NIM_DELETE, &icon);
    PostMessageA(owner, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
}

HWND OpenPopupMenu(DWORD processId) {
    HWND menu = nullptr;
    while ((menu = FindWindowExA(nullptr, menu, "#32768", nullptr))) {
        DWORD pid = 0;
        GetWindowThreadProcessId(menu, &pid);
        if (pid == processId && IsWindowVisible(menu)) return menu;
    }
    return nullptr;
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
    const auto send = [](DWORD flags, LONG x = 0, LONG y = 0) {
        INPUT input{INPUT_MOUSE, {}};
        input.mi = {x, y, 0, flags, 0, 0};
        SendInput(1, &input, sizeof(input));
    };
    SetCursorPos(from.x, from.y);
    Sleep(100);
    send(rightButton ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    Sleep(100);
    for (int i = 1; i <= 10; ++i) {
        send(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE,
             (from.x + (to.x - from.x) * i / 10) * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1),
             (from.y + (to.y - from.y) * i / 10) * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1));
        Sleep(20);
    }
    SetCursorPos(to.x, to.y);
    Sleep(100);
    send(rightButton ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
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

}  // namespace zapnix::e2e
