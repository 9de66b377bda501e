# SPDX-FileCopyrightText: The Punktblick authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Cross-compiling for 64-bit Windows with Debian's MinGW-w64. The posix flavour of the compilers,
# because Qt needs std::thread and friends, which the win32 flavour lacks.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PUNKTBLICK_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PUNKTBLICK_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PUNKTBLICK_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${PUNKTBLICK_MINGW}-windres)

# Libraries and headers come from the MinGW sysroot and the Qt kit (passed in
# CMAKE_FIND_ROOT_PATH), never from the host.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${PUNKTBLICK_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
