# Shared by scripts/run and scripts/test: install Debian packages that are missing.
# shellcheck shell=bash

QRV_APT_UPDATED=0

# need_packages [--no-install-recommends] PKG...: installs those of the packages that are not
# installed yet.
need_packages() {
    local options=()
    if [ "${1:-}" = "--no-install-recommends" ]; then
        options+=("$1")
        shift
    fi
    local missing=()
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "ok installed"; then
            missing+=("$pkg")
        fi
    done
    if [ "${#missing[@]}" -eq 0 ]; then
        return 0
    fi
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    echo "Installing: ${missing[*]}"
    if [ "$QRV_APT_UPDATED" -eq 0 ]; then
        $sudo apt-get update -qq
        QRV_APT_UPDATED=1
    fi
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${options[@]}" "${missing[@]}"
}

# The tools every build needs.
QRV_BUILD_PACKAGES=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev)

# The Qt front end (the Linux program): Qt 6 Widgets and Qt Test, and real fonts, which its
# pixel and text checks need on a bare machine.
QRV_QT_PACKAGES=(qt6-base-dev libgl-dev fonts-dejavu-core)
# Its installed-program test watches the windows on a virtual X display; its accessibility test
# reads the window through the accessibility bus in a session bus of its own.
QRV_QT_TEST_PACKAGES=(xvfb xauth libx11-dev desktop-file-utils
    at-spi2-core python3-pyatspi dbus libglib2.0-bin xdotool)
# The screen reader that the program and the page are played under, by keys that xdotool sends;
# without its recommends (a braille display's X client).
QRV_SCREEN_READER_PACKAGES=(orca)
# Starting it in a Wayland session without XWayland needs Qt's Wayland platform.
QRV_QT_RUN_PACKAGES=(qt6-wayland)
# The Windows program: cross-compiler, resource compiler and objdump, NSIS for its installer
# (Debian's package has the 64-bit stubs), and Wine under Xvfb for its tests, with Wine's own
# fonts, which its dialogs are laid out in (ImageMagick turns the tests' screenshots into PNG
# files; python3 draws the icon).
QRV_WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 nsis
    wine wine64 fonts-wine
    xvfb xauth imagemagick python3)
# The web page: Emscripten, and headless Chromium driven through Selenium for its tests and
# benchmark (Debian's own python3, which has the Selenium module), and a font to lay it out in.
QRV_WEB_PACKAGES=(emscripten chromium chromium-driver python3 python3-selenium fonts-dejavu-core)
# The Debian package: dpkg-shlibdeps and file for CPack, lintian, hardening-check (devscripts)
# with objdump, the validators of the menu entry, the AppStream data and the manual page.
QRV_PACKAGE_PACKAGES=(dpkg-dev file xz-utils lintian devscripts binutils desktop-file-utils
    appstream man-db)
