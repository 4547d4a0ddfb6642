# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (posix thread model, so std::thread
# and std::mutex work) and runs the results under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_gantrylux_triple x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${_gantrylux_triple}-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${_gantrylux_triple}-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${_gantrylux_triple}-windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${_gantrylux_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Self-contained executables: Wine then needs no MinGW runtime DLLs on its path.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Debian's "wine" is a wrapper that looks for the 32-bit loader first and warns without it; the
# 64-bit loader itself is all these executables need.
find_program(GANTRYLUX_WINE NAMES wine64 wine PATHS /usr/lib/wine /usr/lib64/wine REQUIRED)
# Through a launcher that starts a program again when Wine gave up before it ran.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run ${GANTRYLUX_WINE})
