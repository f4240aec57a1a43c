// End-to-end scenarios of the Windows program as Windows users get it: run from any folder, at
// a high DPI, its files' properties, and the installer.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "scenarios.h"

using namespace driver;

namespace {

// The real library answers an X on square 2 with an O on the centre; the genetic-algorithm
// opponent has no fallback, so that O shows that the network itself answered.
void PlayOneNetworkMove(GameProcess& game) {
    HWND main = game.WaitForMainWindow();
    if (HWND other = game.FindOtherWindow()) {
        Fail("a window \"%s\" opened", WindowText(other).c_str());
    }
    if (main == nullptr) {
        return;
    }
    MenuCommand(main, kGeneticOpponentCommand);
    const Step steps[] = {{2, true, "  X O    ", "", kOpening}};
    PlaySteps(main, steps, 1);
    EndByEscape(game);
}

// The mutex that the game holds while it runs from `folder`, and that the installer looks for:
// named by the 32-bit FNV-1a hash of the folder's path in upper case, over its UTF-16 units.
std::wstring FolderMutexName(std::wstring folder) {
    CharUpperBuffW(folder.data(), static_cast<DWORD>(folder.size()));
    std::uint32_t hash = 2166136261u;
    for (const wchar_t unit : folder) {
        hash = (hash ^ unit) * 16777619u;
    }
    wchar_t name[32];
    std::swprintf(name, 32, L"Local\\Quorvane-%08X", static_cast<unsigned>(hash));
    return name;
}

void ExpectFolderMutex(const std::wstring& folder) {
    HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, FolderMutexName(folder).c_str());
    if (mutex == nullptr) {
        Fail("the running game holds no mutex named %ls", FolderMutexName(folder).c_str());
    }
    CloseHandle(mutex);
}

}  // namespace

// The game, the real library and its weights from `folder`, copied into a folder whose name
// lies outside the ANSI code page.
void driver::ScenarioAnyFolderName(const std::string& folder) {
    const std::wstring from(folder.begin(), folder.end());  // the build's ASCII path
    const std::wstring to = from + L"\\\u0418\u0433\u0440\u0430 \u6e38\u620f";
    CreateDirectoryW(to.c_str(), nullptr);
    for (const wchar_t* name : {L"\\quorvane.exe", L"\\Synaptra.dll", L"\\qrv.bpn"}) {
        if (!CopyFileW((from + name).c_str(), (to + name).c_str(), FALSE)) {
            Fail("cannot copy %ls", name);
        }
    }
    GameProcess game;
    if (game.Start(to) && game.WaitForMainWindow() != nullptr) {
        ExpectFolderMutex(to);
        PlayOneNetworkMove(game);
    }
}

namespace {

// A file's version resource, read back as its Properties page reads it.
void CheckVersionInfo(const std::string& file, const char* description, const char* internal) {
    DWORD ignored = 0;
    std::vector<char> data(GetFileVersionInfoSizeA(file.c_str(), &ignored) + 1);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoA(file.c_str(), 0, data.size(), data.data()) ||
        !VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length) ||
        fixed->dwFileVersionMS != MAKELONG(2, 1) || fixed->dwFileVersionLS != 0 ||
        fixed->dwProductVersionMS != MAKELONG(2, 1) || fixed->dwProductVersionLS != 0) {
        Fail("%s has no version resource of version 1.2.0.0", file.c_str());
        return;
    }
    const std::string original = file.substr(file.rfind('\\') + 1);
    const char* values[][2] = {{"ProductName", "Quorvane"},
                               {"FileDescription", description},
                               {"CompanyName", "Quorvane developers"},
                               {"InternalName", internal},
                               {"OriginalFilename", original.c_str()},
                               {"LegalCopyright", "Copyright (C) 2026 The Quorvane developers"},
                               {"FileVersion", "1.2.0.0"},
                               {"ProductVersion", "1.2.0.0"}};
    for (const auto& value : values) {
        const std::string key = std::string("\\StringFileInfo\\040904b0\\") + value[0];
        char* text = nullptr;
        if (!VerQueryValueA(data.data(), key.c_str(), reinterpret_cast<void**>(&text), &length) ||
            std::strcmp(text, value[1]) != 0) {
            Fail("%s: %s is not \"%s\"", file.c_str(), value[0], value[1]);
        }
    }
}

}  // namespace

void driver::ScenarioFileProperties(const std::string& folder) {
    CheckVersionInfo(folder + "\\quorvane.exe", "Quorvane noughts and crosses", "quorvane");
    CheckVersionInfo(folder + "\\Synaptra.dll", "Quorvane neural network library", "Synaptra");
    // Wine draws every program at the screen's DPI, manifest or not: only the manifest itself
    // shows that Windows will not stretch the game.
    HMODULE program =
        LoadLibraryExA((folder + "\\quorvane.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    const std::string manifest =
        program == nullptr || found == nullptr
            ? ""
            : std::string(static_cast<const char*>(LockResource(LoadResource(program, found))),
                          SizeofResource(program, found));
    for (const char* wanted :
         {"\"asInvoker\"", ">true</dpiAware>", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
          "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}) {
        if (manifest.find(wanted) == std::string::npos) {
            Fail("the manifest of quorvane.exe lacks %s", wanted);
        }
    }
    if (manifest.find("Common-Controls") != std::string::npos) {
        Fail("the manifest asks for common controls 6");
    }
    FreeLibrary(program);
}

namespace {

// After a lost game: the window's size; the O of square 0 (red) read inwards from each edge of
// its square (the stroke's width, and how far in its middle lies); the X of square 1 (light
// blue) read down a column, where a diagonal is thicker than its width by its length over the
// figure's width.
struct DpiLook {
    int width = 0;
    int height = 0;
    int stroke[4]{};
    int inset[4]{};
    int crossStroke = 0;
};

DpiLook LookAtLostGame(const std::string& folder) {
    DpiLook look;
    GameProcess game;
    HWND main = game.Start(folder) ? game.WaitForMainWindow() : nullptr;
    if (main == nullptr) {
        return look;
    }
    RECT box{};
    GetWindowRect(main, &box);
    look.width = box.right - box.left;
    look.height = box.bottom - box.top;
    for (int square : {1, 2, 4}) {
        ClickSquare(main, square);
        ClickControl(main, kPlayOId);
    }
    Settle(main);
    HWND nought = GetDlgItem(main, kFirstSquareId);
    GetClientRect(nought, &box);
    const int starts[4][4] = {{0, box.bottom / 2, 1, 0},
                              {box.right - 1, box.bottom / 2, -1, 0},
                              {box.right / 2, 0, 0, 1},
                              {box.right / 2, box.bottom - 1, 0, -1}};
    for (int side = 0; side < 4; ++side) {
        const int* at = starts[side];
        int margin = 0;
        look.stroke[side] = ColourRun(nought, at[0], at[1], at[2], at[3], kRed, &margin);
        look.inset[side] = margin + look.stroke[side] / 2;
    }
    const int run =
        ColourRun(GetDlgItem(main, kFirstSquareId + 1), box.right / 4, 0, 0, 1, kLightBlue);
    look.crossStroke = static_cast<int>(run * box.right / std::hypot(box.right, box.bottom) + 0.5);
    EndByEscape(game);
    return look;
}

}  // namespace

// With the prefix's screen at 192 DPI (put back afterwards), the game is twice its size at 96
// DPI and draws its marks in their colours, twice as thick and twice as far in.
void driver::ScenarioHighDpi(const std::string& folder) {
    const DpiLook normal = LookAtLostGame(folder);
    const DWORD dpi = 192;
    RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", REG_DWORD, &dpi,
                    sizeof dpi);
    const DpiLook high = LookAtLostGame(folder);
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels");
    const double grown[] = {static_cast<double>(high.width) / normal.width,
                            static_cast<double>(high.height) / normal.height};
    if (grown[0] < 1.7 || grown[0] > 2.3 || grown[1] < 1.7 || grown[1] > 2.3) {
        Fail("at 192 DPI the window is %.2f x %.2f times its size at 96", grown[0], grown[1]);
    }
    for (int side = 0; side < 4; ++side) {
        if (high.stroke[side] < 5 || high.stroke[side] > 7 ||
            std::abs(high.inset[side] - 2 * normal.inset[side]) > 2) {
            Fail("at 192 DPI the O's stroke from edge %d is %d wide and %d in (at 96: %d in)", side,
                 high.stroke[side], high.inset[side], normal.inset[side]);
        }
    }
    // Read through a column, the diagonal's rounded edges add about a pixel (4 at 96 DPI).
    if (high.crossStroke < 5 || high.crossStroke > 8) {
        Fail("at 192 DPI the X's strokes are %d pixels wide, expected about 6", high.crossStroke);
    }
}

namespace {

// Runs a command line to its end: its exit code, or -1.
int RunToEnd(std::wstring commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        return -1;
    }
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(info.hProcess, 60000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(info.hProcess, &code);
    }
    TerminateProcess(info.hProcess, 99);  // nothing if it has ended
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    return static_cast<int>(code);
}

int RunToEnd(const std::string& asciiCommandLine) {
    return RunToEnd(std::wstring(asciiCommandLine.begin(), asciiCommandLine.end()));
}

std::string Expanded(const char* text) {
    char path[MAX_PATH * 2] = "";
    ExpandEnvironmentStringsA(text, path, sizeof path);
    return path;
}

// A value of the game's uninstall entry as text, numbers in decimal; empty when missing.
std::string UninstallValue(const std::string& name) {
    char value[1024] = "";
    DWORD size = sizeof value;
    DWORD type = 0;
    if (RegGetValueA(
            HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvane",
            name.c_str(), RRF_RT_REG_SZ | RRF_RT_REG_DWORD, &type, value, &size) != ERROR_SUCCESS) {
        return "";
    }
    return type == REG_DWORD ? std::to_string(*reinterpret_cast<DWORD*>(value)) : value;
}

// A file's bytes; empty when it is missing.
std::string FileBytes(const std::string& path) {
    std::string bytes;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        for (int c; (c = std::fgetc(file)) != EOF;) {
            bytes += static_cast<char>(c);
        }
        std::fclose(file);
    }
    return bytes;
}

}  // namespace

// The installer run silently twice (the second run upgrades the first install), the installed
// game; while it runs, the silent installer and uninstaller fail and change nothing; once it is
// closed, both succeed, and the uninstall takes away everything the installer put there.
void driver::ScenarioInstaller(const std::string& setup) {
    const std::string folder = Expanded("%LOCALAPPDATA%\\Programs\\Quorvane");
    const std::string uninstaller = "\"" + folder + "\\Uninstall.exe\"";
    const std::string shortcut =
        Expanded("%APPDATA%\\Microsoft\\Windows\\Start Menu\\Programs\\Quorvane.lnk");
    const std::vector<std::string> placed = {folder + "\\quorvane.exe",  folder + "\\Synaptra.dll",
                                             folder + "\\qrv.bpn",       folder + "\\LICENSE.txt",
                                             folder + "\\Uninstall.exe", shortcut};
    // The installer finds the mutex of a folder named outside the code page and with quotes,
    // held here instead of by the game, so that no file in use can be what stops it.
    const std::wstring wideFolder(folder.begin(), folder.end());  // the prefix's ASCII path
    const std::wstring elsewhere = wideFolder + L" \u0418\u0433\u0440\u0430 '\u6e38\u620f'";
    HANDLE held = CreateMutexW(nullptr, FALSE, FolderMutexName(elsewhere).c_str());
    const int heldCode =
        RunToEnd(L"\"" + std::wstring(setup.begin(), setup.end()) + L"\" /S /D=" + elsewhere);
    CloseHandle(held);
    if (heldCode == 0 || GetFileAttributesW(elsewhere.c_str()) != INVALID_FILE_ATTRIBUTES) {
        Fail("setup /S went on into a folder whose mutex was held (exit code %d)", heldCode);
        RunToEnd(L"\"" + elsewhere + L"\\Uninstall.exe\" /S _?=" + elsewhere);  // for the next run
        return;
    }
    if (RunToEnd("\"" + setup + "\" /S") != 0 || RunToEnd("\"" + setup + "\" /S") != 0) {
        Fail("the silent install failed");
        return;
    }
    DWORD bytes = 0;
    for (const std::string& path : placed) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
            Fail("%s is not installed", path.c_str());
        } else if (path != shortcut) {
            bytes += data.nFileSizeLow;
        }
    }
    char today[16] = "";
    GetDateFormatA(LOCALE_INVARIANT, 0, nullptr, "yyyyMMdd", today, sizeof today);
    const std::string values[][2] = {{"DisplayName", "Quorvane"},
                                     {"DisplayVersion", "1.2"},
                                     {"Publisher", "Quorvane developers"},
                                     {"DisplayIcon", folder + "\\quorvane.exe,0"},
                                     {"UninstallString", uninstaller + " _?=" + folder},
                                     {"QuietUninstallString", uninstaller + " /S _?=" + folder},
                                     {"URLInfoAbout", "https://quorvane.example.org"},
                                     {"InstallDate", today},
                                     {"EstimatedSize", std::to_string((bytes + 1023) / 1024)},
                                     {"NoModify", "1"},
                                     {"NoRepair", "1"}};
    for (const auto& value : values) {
        if (UninstallValue(value[0]) != value[1]) {
            Fail("uninstall entry %s is \"%s\", expected \"%s\"", value[0].c_str(),
                 UninstallValue(value[0]).c_str(), value[1].c_str());
        }
    }
    // The shortcut's description, stored in UTF-16.
    std::string description;
    for (const char c : std::string("Noughts and crosses against a neural network")) {
        description += std::string{c, '\0'};
    }
    if (FileBytes(shortcut).find(description) == std::string::npos) {
        Fail("the shortcut has no description of the package's words");
    }
    // Everything installed, to tell that a failed run changed nothing.
    const auto snapshot = [&] {
        std::string all;
        for (const std::string& path : placed) {
            all += FileBytes(path) + '\n';
        }
        for (const auto& value : values) {
            all += UninstallValue(value[0]) + '\n';
        }
        return all;
    };
    {
        GameProcess game;
        if (game.Start(folder) && game.WaitForMainWindow() != nullptr) {
            ExpectFolderMutex(wideFolder);
            const std::string before = snapshot();
            const int setupCode = RunToEnd("\"" + setup + "\" /S");
            const int uninstallCode = RunToEnd(UninstallValue("QuietUninstallString"));
            Note("with the game running: setup /S ended with %d, the uninstaller /S with %d",
                 setupCode, uninstallCode);
            if (setupCode != 2 || uninstallCode != 2) {
                Fail("with the game running, the silent installer or uninstaller did not fail");
            }
            if (snapshot() != before) {
                Fail("with the game running, the install was changed");
            }
            PlayOneNetworkMove(game);
        }
    }
    if (RunToEnd("\"" + setup + "\" /S") != 0) {
        Fail("the silent install failed once the game was closed");
    }
    if (RunToEnd(UninstallValue("QuietUninstallString")) != 0) {
        Fail("the silent uninstall failed");
    }
    // A copy of the uninstaller removes its file and the folder once the uninstaller has ended.
    for (int waited = 0; waited < 30000; waited += 200) {
        if (GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES) {
            break;
        }
        Sleep(200);
    }
    for (const std::string& path : {shortcut, folder}) {  // the folder goes once empty
        if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
            Fail("%s is still there after the uninstall", path.c_str());
        }
    }
    if (!UninstallValue("DisplayName").empty()) {
        Fail("the uninstall entry is still there after the uninstall");
    }
}
