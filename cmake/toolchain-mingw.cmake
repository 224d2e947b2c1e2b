# MinGW-w64 cross build. The presets choose the processor and the thread model:
#   VANTREL_MINGW_ARCH     i686 | x86_64
#   VANTREL_MINGW_THREADS  posix (tests: GoogleTest needs std::mutex) | win32 (the shipped
#                          32-bit program: the posix thread library needs Windows Vista)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VANTREL_MINGW_ARCH})
set(CMAKE_C_COMPILER   ${VANTREL_MINGW_ARCH}-w64-mingw32-gcc-${VANTREL_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${VANTREL_MINGW_ARCH}-w64-mingw32-g++-${VANTREL_MINGW_THREADS})
set(CMAKE_RC_COMPILER  ${VANTREL_MINGW_ARCH}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VANTREL_MINGW_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(VANTREL_OBJDUMP ${VANTREL_MINGW_ARCH}-w64-mingw32-objdump)
# try_compile projects see the two choices too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VANTREL_MINGW_ARCH VANTREL_MINGW_THREADS)
