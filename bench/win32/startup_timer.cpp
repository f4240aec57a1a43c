// Measures how long programs take from their start to their main window being shown,
// starting them in turns so that both see the same machine.
// Usage: startup_timer RUNS PROGRAM WINDOW-CLASS [PROGRAM WINDOW-CLASS]...
// Prints each run's milliseconds, each program's median, and the ratio of the first program's
// median to each other's. Each program is closed with WM_CLOSE once timed.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Search {
    DWORD processId;
    const char* className;
    HWND found;
};

BOOL CALLBACK Match(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[128] = "";
    GetClassNameA(window, name, sizeof name);
    // Visible: the program has set itself up and shown the window.
    if (owner == search->processId && std::string(name) == search->className &&
        IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Milliseconds until the window exists, or a negative number on failure.
double TimeOneStart(const char* program, const char* className) {
    std::string folder = program;
    const size_t separator = folder.find_last_of("\\/");
    folder = separator == std::string::npos ? "." : folder.substr(0, separator);
    std::string commandLine = std::string("\"") + program + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
    LARGE_INTEGER now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &info)) {
        return -1;
    }
    Search search{info.dwProcessId, className, nullptr};
    double elapsed = -2;
    for (;;) {
        EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
        QueryPerformanceCounter(&now);
        const double ms = 1000.0 * (now.QuadPart - start.QuadPart) / frequency.QuadPart;
        if (search.found != nullptr) {
            elapsed = ms;
            break;
        }
        if (ms > 30000 || WaitForSingleObject(info.hProcess, 1) == WAIT_OBJECT_0) {
            break;
        }
    }
    if (search.found != nullptr) {
        PostMessageA(search.found, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(info.hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(info.hProcess, 1);
    }
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    return elapsed;
}

}  // namespace

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

int main(int argc, char** argv) {
    if (argc < 4 || argc % 2 != 0) {
        std::fprintf(stderr, "usage: %s RUNS PROGRAM WINDOW-CLASS [PROGRAM WINDOW-CLASS]...\n",
                     argv[0]);
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[1]));
    const int programs = (argc - 2) / 2;
    std::vector<std::vector<double>> times(programs);
    for (int run = 0; run < runs; ++run) {
        for (int p = 0; p < programs; ++p) {
            const char* program = argv[2 + 2 * p];
            const char* className = argv[3 + 2 * p];
            const double ms = TimeOneStart(program, className);
            if (ms < 0) {
                std::fprintf(stderr, "%s: no window of class %s\n", program, className);
                return 1;
            }
            times[p].push_back(ms);
            std::printf("run %2d  %-40s %8.1f ms\n", run + 1, program, ms);
        }
    }
    for (int p = 0; p < programs; ++p) {
        std::printf("median  %-40s %8.1f ms\n", argv[2 + 2 * p], Median(times[p]));
    }
    for (int p = 1; p < programs; ++p) {
        std::printf("ratio   first / %-32s %8.2f\n", argv[2 + 2 * p],
                    Median(times[0]) / Median(times[p]));
    }
    return 0;
}
