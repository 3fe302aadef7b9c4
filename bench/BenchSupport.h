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

// What any save must cost at least: reading the old file once, then writing the new bytes once and
// flushing them to the disk. The yardstick for the engine's saves.
inline void ReadOnceWriteOnce(const std::string& path, const std::string& newBytes, const std::string& scratch) {
    std::string old;
    ReadWholeFile(path, old);
    const HANDLE file =
        CreateFileA(scratch.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, newBytes.data(), static_cast<DWORD>(newBytes.size()), &written, nullptr);
    FlushFileBuffers(file);
    CloseHandle(file);
}

inline std::string FileBytes(const std::string& path) {
    std::string bytes;
    ReadWholeFile(path, bytes);
    return bytes;
}

}  // namespace zapnix::bench
