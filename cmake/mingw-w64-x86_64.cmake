# Cross-builds the Windows program on Debian with mingw-w64 (posix threading flavour).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QRV_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QRV_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QRV_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QRV_MINGW_PREFIX}-windres)
set(CMAKE_AR ${QRV_MINGW_PREFIX}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${QRV_MINGW_PREFIX}-ranlib CACHE FILEPATH "")
set(QRV_MINGW_OBJDUMP ${QRV_MINGW_PREFIX}-objdump CACHE FILEPATH "objdump of the target")

set(CMAKE_FIND_ROOT_PATH /usr/${QRV_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything the programs need comes with them: no libstdc++, libgcc or winpthread DLLs. Of that
# only what they use: each function in a section of its own, unused ones dropped. Not each datum:
# mingw's compiler then moves zero-filled arrays out of .bss into the file. Nothing built for
# Windows throws or asks for a type at run time, so neither is compiled in. No time stamp in the
# headers, so that each build gives the same bytes.
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fno-exceptions -fno-rtti")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--gc-sections -Wl,--no-insert-timestamp")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -Wl,--gc-sections -Wl,--no-insert-timestamp")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -Wl,--gc-sections -Wl,--no-insert-timestamp")
