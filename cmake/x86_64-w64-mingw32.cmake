# Cross-building for 64-bit Windows with MinGW-w64 (the posix threads
# variant of Debian's g++-mingw-w64-x86-64), statically linked so that each
# program runs alone, with Wine to run the test programs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MARVOLEN_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MARVOLEN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MARVOLEN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MARVOLEN_MINGW_TRIPLE}-windres)

# Libraries and packages come from the MinGW tree and from the prefixes
# given with CMAKE_PREFIX_PATH (GoogleTest built with this same file);
# programs from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${MARVOLEN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# No DLL of the compiler's runtime (libstdc++, libgcc, winpthread) is needed
# beside the programs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# The test programs run through Wine when it is there (Debian keeps wine64
# in /usr/lib/wine). Wine shows the build machine's root folder as drive Z:;
# the tests find the test data and the programs they run under that name.
find_program(MARVOLEN_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(MARVOLEN_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${MARVOLEN_WINE})
  set(MARVOLEN_TEST_PATH_PREFIX "Z:")
endif()
