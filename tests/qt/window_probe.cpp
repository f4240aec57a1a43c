// Starts a program on an X display and watches it from outside, as a person would see it:
// how long until its first window is mapped, that window's title, whether the program stays
// up, its peak memory, and how it ends after a close request, a key or a signal.
//
//   qrv_window_probe [--stay MS] [--then close|escape|space|term] [--timeout MS] -- PROGRAM...
//
// Prints "key=value" lines: title, mapped_ms, alive, peak_kb, exit (the exit code, or
// "signal N"). Exits 1 when no window was mapped in time or the program died early.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string WindowTitle(Display* display, Window window) {
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count,
                           &after, &data) == Success &&
        data != nullptr) {
        title.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
    }
    if (title.empty()) {
        char* name = nullptr;
        if (XFetchName(display, window, &name) && name != nullptr) {
            title = name;
            XFree(name);
        }
    }
    return title;
}

long PeakKilobytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return -1;
}

// Waits for the child to end, up to timeoutMs; the wait status, or -1 if it is still running.
int WaitForExit(pid_t pid, double timeoutMs) {
    const auto start = Clock::now();
    do {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            return status;
        }
        usleep(5000);
    } while (MillisecondsSince(start) < timeoutMs);
    return -1;
}

void SendKey(Display* display, Window window, KeySym key) {
    XKeyEvent event{};
    event.display = display;
    event.window = window;
    event.root = DefaultRootWindow(display);
    event.subwindow = None;
    event.time = CurrentTime;
    event.same_screen = True;
    event.keycode = XKeysymToKeycode(display, key);
    event.type = KeyPress;
    XSendEvent(display, window, True, KeyPressMask, reinterpret_cast<XEvent*>(&event));
    event.type = KeyRelease;
    XSendEvent(display, window, True, KeyReleaseMask, reinterpret_cast<XEvent*>(&event));
    XFlush(display);
}

void SendCloseRequest(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

}  // namespace

int main(int argc, char** argv) {
    double stayMs = 500;
    double timeoutMs = 20000;
    std::string then = "term";
    int first = 1;
    for (; first < argc && std::strcmp(argv[first], "--") != 0; ++first) {
        const std::string option = argv[first];
        if (first + 1 >= argc) {
            break;
        }
        if (option == "--stay") {
            stayMs = std::atof(argv[++first]);
        } else if (option == "--timeout") {
            timeoutMs = std::atof(argv[++first]);
        } else if (option == "--then") {
            then = argv[++first];
        } else {
            break;
        }
    }
    if (first >= argc - 1 || std::strcmp(argv[first], "--") != 0) {
        std::fprintf(stderr,
                     "usage: %s [--stay MS] [--then close|escape|space|term] [--timeout MS] -- "
                     "PROGRAM [ARGS...]\n",
                     argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "%s: cannot open the X display\n", argv[0]);
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[first + 1], argv + first + 1);
        std::perror("exec");
        _exit(127);
    }

    Window window = None;
    while (window == None && MillisecondsSince(start) < timeoutMs) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && !event.xmap.override_redirect) {
                window = event.xmap.window;
                break;
            }
        }
        if (window != None) {
            break;
        }
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            std::printf("exit=%d\nalive=0\n", WIFEXITED(status) ? WEXITSTATUS(status) : -1);
            return 1;
        }
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        poll(&connection, 1, 5);
    }
    if (window == None) {
        std::printf("title=\nalive=%d\n", kill(pid, 0) == 0 ? 1 : 0);
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        std::fprintf(stderr, "no window was mapped within %.0f ms\n", timeoutMs);
        return 1;
    }
    const double mappedMs = MillisecondsSince(start);
    std::printf("title=%s\nmapped_ms=%.1f\n", WindowTitle(display, window).c_str(), mappedMs);

    // Still up after a while: the program did not fail right after its window showed.
    const bool alive = WaitForExit(pid, stayMs) < 0;
    std::printf("alive=%d\n", alive ? 1 : 0);
    std::printf("peak_kb=%ld\n", alive ? PeakKilobytes(pid) : -1L);
    if (!alive) {
        return 1;
    }

    if (then == "close") {
        SendCloseRequest(display, window);
    } else if (then == "escape") {
        SendKey(display, window, XK_Escape);
    } else if (then == "space") {
        SendKey(display, window, XK_space);
    } else {
        kill(pid, SIGTERM);
    }
    int status = WaitForExit(pid, 10000);
    if (status < 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        std::printf("exit=timeout\n");
    } else if (WIFEXITED(status)) {
        std::printf("exit=%d\n", WEXITSTATUS(status));
    } else {
        std::printf("exit=signal %d\n", WTERMSIG(status));
    }
    XCloseDisplay(display);
    return 0;
}
