# Cross-build for 64-bit Windows with mingw-w64 (the posix-thread compiler, for std::thread).
# mingw-w64 is used rather than MSVC because the money needs the 80-bit long double.
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake -DPELMORA_WITH_QT=OFF
# With Qt (the default), Qt for Windows is looked for in PELMORA_WINDOWS_QT (/opt/qt6-mingw64),
# and the host's moc, rcc and uic of the same Qt version are used:
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake \
#     -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PELMORA_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PELMORA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PELMORA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${PELMORA_MINGW_TRIPLE}-windres)

if(NOT PELMORA_WINDOWS_QT)
  set(PELMORA_WINDOWS_QT /opt/qt6-mingw64)
endif()
set(CMAKE_FIND_ROOT_PATH /usr/${PELMORA_MINGW_TRIPLE} ${PELMORA_WINDOWS_QT})
list(APPEND CMAKE_PREFIX_PATH ${PELMORA_WINDOWS_QT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Without Qt the compiler's runtime (libstdc++, libgcc, winpthread) is linked in, so an
# executable runs on its own. Qt's DLLs use the runtime's DLLs; the program then uses the same
# ones (one C++ runtime in the process), and the build puts them beside the executables.
if(DEFINED PELMORA_WITH_QT AND NOT PELMORA_WITH_QT)
  set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
  set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
endif()

# Tests and test discovery run the executables under wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
