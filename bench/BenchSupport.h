#pragma once
// Timing helpers shared by the benchmarks.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "platform/FileIo.h"

namespace zapnix::bench {

using Clock = std::chrono::steady_clock;

inline double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// The median time of `runs` calls of `work`, in milliseconds.
template <typename Work>
double MedianMs(int runs, Work work) {
    std::vector<double> samples;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        work();
        samples.push_back(Milliseconds(Clock::now() - start));
    }
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// The median times of `runs` calls each of `first` and `second`, taken in turns so that a busy patch
// of the machine slows both alike.
template <typename First, typename Second>
std::pair<double, double> InterleavedMediansMs(int runs, First first, Second second) {
    std::vector<double> a;
    std::vector<double> b;
    for (int i = 0; i < runs; ++i) {
        a.push_back(MedianMs(1, first));
        b.push_back(MedianMs(1, second));
    }
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    return {a[a.size() / 2], b[b.size() / 2]};
}

// A plain top-level window of the given class, as a browser or any other program would show.
inline HWND OpenWindow(const char* className, const std::string& title) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    RegisterClassA(&wc);
    return CreateWindowExA(0, className, title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

inline std::string TempFile(const char* name) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + name;
}

// What an atomic save costs at least, done by hand with the raw Windows calls: read the old bytes, write
// the new ones into a new temporary file in the same folder, flush it, close it and rename it over the old
// file (the one rename the program's saves end with). The yardstick for the engine's saves. `path` must be a file of
// the yardstick's own (a copy of the engine's), so that the engine's file stays as the engine left it. False when a
// call failed.
inline bool RawAtomicSave(const std::string& path, const std::string& newBytes) {
    const HANDLE old = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (old == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    GetFileSizeEx(old, &size);
    std::string oldBytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    const bool gotOld =
        ReadFile(old, oldBytes.data(), static_cast<DWORD>(oldBytes.size()), &read, nullptr) && read == oldBytes.size();
    CloseHandle(old);
    const std::string temp = path + ".new";
    const HANDLE file =
        CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool wrote = WriteFile(file, newBytes.data(), static_cast<DWORD>(newBytes.size()), &written, nullptr) &&
                       written == newBytes.size() && FlushFileBuffers(file);
    CloseHandle(file);
    return gotOld && wrote &&
           MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

// A copy of `bytes` at `path` for RawAtomicSave to replace again and again.
inline void StoreCopy(const std::string& path, const std::string& bytes) {
    DeleteFileA((path + ".new").c_str());
    ReplaceFileAtomically(path, bytes);
}

inline std::string FileBytes(const std::string& path) {
    std::string bytes;
    ReadWholeFile(path, bytes);
    return bytes;
}

// The processor time a process has used so far, in milliseconds.
inline double ProcessCpuMs(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    const auto ticks = [](FILETIME t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
}

// Handles what has arrived for this thread's windows.
inline void PumpPending() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// Zapnix.exe copied into a scratch folder of its own with `profile` as its quorb.ini, started and waited
// for until its main window is there and a second more; ended, and its folder gone, with the object.
class ZapnixRun {
public:
    ZapnixRun(const std::string& exePath, const std::string& profile, const std::string& folderStem) {
        folder_ = TempFile((folderStem + "-" + std::to_string(GetTickCount())).c_str());
        CreateDirectoryA(folder_.c_str(), nullptr);
        const std::string exe = folder_ + "\\Zapnix.exe";
        CopyFileA(exePath.c_str(), exe.c_str(), FALSE);
        ReplaceFileAtomically(folder_ + "\\quorb.ini", profile);
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        std::string commandLine = "\"" + exe + "\"";
        if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(),
                            &startup, &info_))
            return;
        WaitForInputIdle(info_.hProcess, 10000);
        for (int i = 0; i < 200 && !main_; ++i, Sleep(50)) main_ = FindWindowA("ZapnixFrm", "Zapnix Popup Killer");
        Sleep(1000);
    }
    ZapnixRun(const ZapnixRun&) = delete;
    ZapnixRun& operator=(const ZapnixRun&) = delete;
    ~ZapnixRun() {
        if (info_.hProcess) {
            TerminateProcess(info_.hProcess, 0);
            WaitForSingleObject(info_.hProcess, 5000);
            CloseHandle(info_.hThread);
            CloseHandle(info_.hProcess);
        }
        Sleep(200);
        for (const char* name : {"Zapnix.exe", "quorb.ini", "poplog.ini"}) DeleteFileA((folder_ + "\\" + name).c_str());
        RemoveDirectoryA(folder_.c_str());
    }

    HANDLE Process() const { return info_.hProcess; }
    // Null when Zapnix did not start or showed no main window.
    HWND MainWindow() const { return main_; }
    double CpuMs() const { return ProcessCpuMs(info_.hProcess); }

private:
    std::string folder_;
    PROCESS_INFORMATION info_{};
    HWND main_ = nullptr;
};

}  // namespace zapnix::bench
