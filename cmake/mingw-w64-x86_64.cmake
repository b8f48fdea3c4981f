# Cross-compiles for 64-bit Windows with Debian's mingw-w64.
# The -posix compilers carry the thread model std::thread needs; the runtime
# is linked statically so the program needs no DLL beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VIMBREL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VIMBREL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VIMBREL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VIMBREL_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VIMBREL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Where scripts/build-windows.sh installs the libraries it builds for
# Windows (wxWidgets, expat, GoogleTest).
set(VIMBREL_WINDOWS_PREFIX "" CACHE PATH "Prefix of the libraries built for Windows")
if(VIMBREL_WINDOWS_PREFIX)
  list(APPEND CMAKE_FIND_ROOT_PATH ${VIMBREL_WINDOWS_PREFIX})
endif()
