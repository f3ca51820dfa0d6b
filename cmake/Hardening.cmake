# SPDX-License-Identifier: GPL-3.0-or-later
# The hardening Debian builds its own packages with (dpkg-buildflags with hardening=+all), for every program of
# the tree on Linux: stack protector, checked string and memory functions, position-independent executables, and
# relocations made read-only before the program starts. Builds for Windows take none of it: mingw-w64 would need
# its separate libssp, and the link options are ELF's.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux" OR NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    return()
endif()

set(CMAKE_POSITION_INDEPENDENT_CODE ON)
include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)

add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
# The checked functions need an optimizing build (glibc warns otherwise); a value the one who builds gives, e.g.
# from dpkg-buildflags, is left as it is.
if(NOT CMAKE_CXX_FLAGS MATCHES "_FORTIFY_SOURCE")
    add_compile_definitions($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
endif()
add_link_options(LINKER:-z,relro LINKER:-z,now)
