# Cross build for 64-bit Windows with Debian's MinGW-w64 (POSIX thread model, so that
# std::thread and std::mutex work). Executables are linked statically: they run under
# Wine or on a bare Windows machine without the MinGW runtime DLLs next to them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZK_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZK_MINGW_TRIPLE}-windres)

# Headers and libraries come from the target's sysroot only; programs (code generators)
# from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${ZK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
