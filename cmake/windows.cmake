# The Windows side: the program, its simulated-machine twin and the libraries they share.
enable_language(RC)

# Windows programs run under Wine on Linux: the wrapper owns this build folder's private
# prefix and display, so ctest and the test discovery reach them the same way.
if(NOT CMAKE_HOST_WIN32)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine-run ${CMAKE_BINARY_DIR})
endif()

# 32-bit builds run on Windows XP SP3 and later, 64-bit builds on Windows 7 and later:
# the SDK headers then hide everything newer, so nothing is used by accident.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(VANTREL_WINNT 0x0601)
  set(VANTREL_NTDDI 0x06010000)
else()
  set(VANTREL_WINNT 0x0501)
  set(VANTREL_NTDDI 0x05010300)
endif()

add_library(vantrel_windows_flags INTERFACE)
target_compile_definitions(vantrel_windows_flags INTERFACE
  _WIN32_WINNT=${VANTREL_WINNT} WINVER=${VANTREL_WINNT} NTDDI_VERSION=${VANTREL_NTDDI}
  _WIN32_IE=0x0600 STRICT NOMINMAX)
target_compile_options(vantrel_windows_flags INTERFACE
  $<$<COMPILE_LANGUAGE:CXX>:${VANTREL_WARNINGS}> $<$<COMPILE_LANGUAGE:CXX>:-ffunction-sections -fdata-sections>)
# No link time in the PE header: one source gives one program, byte for byte.
target_link_options(vantrel_windows_flags INTERFACE -static -static-libgcc -static-libstdc++ -Wl,--gc-sections
  -Wl,--no-insert-timestamp)
# The power library and the device set-up library are not imported: the real back end loads
# them from the system folder (platform/system_library.h), since neither is a known DLL on
# every Windows the program runs on.
target_link_libraries(vantrel_windows_flags INTERFACE
  comctl32 comdlg32 shell32 advapi32 gdi32 user32 kernel32)
target_compile_definitions(vantrel_core PUBLIC _WIN32_WINNT=${VANTREL_WINNT})
# The shipped programs carry no run-time type information: the code asks for none, and it
# keeps the 32-bit program small. The test builds keep it for the tests' own checks.
if(VANTREL_PROGRAMS_ONLY)
  target_compile_options(vantrel_windows_flags INTERFACE $<$<COMPILE_LANGUAGE:CXX>:-fno-rtti>)
endif()

# The release builds optimise each program as a whole when linking it, which takes about 125 KB
# off the 32-bit program (a sixth of its code, a third of its exception tables). It is also the
# one way to lose unused functions: the Windows linker keeps every function that has exception
# tables, whatever --gc-sections says. One partition: GCC 12 for MinGW fails inside the link
# when it splits the program.
if(CMAKE_BUILD_TYPE STREQUAL "MinSizeRel" OR CMAKE_BUILD_TYPE STREQUAL "Release")
  set(VANTREL_LTO -flto -flto-partition=one)
  target_compile_options(vantrel_core PRIVATE ${VANTREL_LTO})
  target_compile_options(vantrel_windows_flags INTERFACE $<$<COMPILE_LANGUAGE:CXX>:${VANTREL_LTO}>)
  target_link_options(vantrel_windows_flags INTERFACE ${VANTREL_LTO})
endif()

# Everything but the platform back ends and the entry point.
file(GLOB VANTREL_APP_SOURCES CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/src/framework/*.cpp
  ${PROJECT_SOURCE_DIR}/src/platform/*.cpp
  ${PROJECT_SOURCE_DIR}/src/app/*.cpp
  ${PROJECT_SOURCE_DIR}/src/settings/*.cpp
  ${PROJECT_SOURCE_DIR}/src/ui/*.cpp
  ${PROJECT_SOURCE_DIR}/src/battery/*.cpp
  ${PROJECT_SOURCE_DIR}/src/power/*.cpp
  ${PROJECT_SOURCE_DIR}/src/display/*.cpp
  ${PROJECT_SOURCE_DIR}/src/i18n/*.cpp
  ${PROJECT_SOURCE_DIR}/src/controls/*.cpp)
add_library(vantrel_app STATIC ${VANTREL_APP_SOURCES})
target_include_directories(vantrel_app PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/resources)
target_link_libraries(vantrel_app PUBLIC vantrel_core vantrel_windows_flags)

# The system and library headers nearly every Windows source includes, compiled once per target
# instead of once per source (the portable core keeps none: it must build without them).
set(VANTREL_PRECOMPILED <windows.h> <commctrl.h> <algorithm> <cstdint> <cstdio> <cstring> <memory> <string>
    <vector>)
target_precompile_headers(vantrel_app PRIVATE ${VANTREL_PRECOMPILED})

file(GLOB VANTREL_WIN32_PLATFORM_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/platform/win32/*.cpp)
add_library(vantrel_platform_win32 STATIC ${VANTREL_WIN32_PLATFORM_SOURCES})
target_link_libraries(vantrel_platform_win32 PUBLIC vantrel_app)
target_precompile_headers(vantrel_platform_win32 REUSE_FROM vantrel_app)

file(GLOB VANTREL_SIM_PLATFORM_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/platform/sim/*.cpp)
add_library(vantrel_platform_sim STATIC ${VANTREL_SIM_PLATFORM_SOURCES})
target_link_libraries(vantrel_platform_sim PUBLIC vantrel_app)
target_precompile_headers(vantrel_platform_sim REUSE_FROM vantrel_app)

# The version resource takes its numbers from the project's version.
math(EXPR VANTREL_VERSION_MINOR "${PROJECT_VERSION_MINOR} + 0")
if(VANTREL_VERSION_MINOR LESS 10)
  set(VANTREL_VERSION_TEXT "${PROJECT_VERSION_MAJOR}.0${VANTREL_VERSION_MINOR}")
else()
  set(VANTREL_VERSION_TEXT "${PROJECT_VERSION_MAJOR}.${VANTREL_VERSION_MINOR}")
endif()
set(VANTREL_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
file(CONFIGURE OUTPUT ${VANTREL_GENERATED_DIR}/vantrel_version.h CONTENT
"// Generated from the project's version (CMakeLists.txt); do not edit.
#pragma once
#define VANTREL_VERSION_MAJOR ${PROJECT_VERSION_MAJOR}
#define VANTREL_VERSION_MINOR ${VANTREL_VERSION_MINOR}
#define VANTREL_VERSION_TEXT \"${VANTREL_VERSION_TEXT}\"
")

# The code's own mentions of the version (the tray menu's side bar) take it from there too.
target_include_directories(vantrel_app PUBLIC ${VANTREL_GENERATED_DIR})

# The manifest names the same version.
configure_file(${PROJECT_SOURCE_DIR}/resources/vantrel.manifest.in ${VANTREL_GENERATED_DIR}/vantrel.manifest @ONLY)

# One resource script for the program, its twin and the test programs.
set(VANTREL_RC ${PROJECT_SOURCE_DIR}/resources/vantrel.rc)
file(GLOB_RECURSE VANTREL_RC_DEPENDS CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/resources/*.rc ${PROJECT_SOURCE_DIR}/resources/*.h
  ${PROJECT_SOURCE_DIR}/resources/*.ico ${PROJECT_SOURCE_DIR}/resources/*.bmp
  ${PROJECT_SOURCE_DIR}/resources/*.manifest.in)
set_source_files_properties(${VANTREL_RC} PROPERTIES OBJECT_DEPENDS "${VANTREL_RC_DEPENDS}")
list(APPEND VANTREL_RC_DEPENDS ${VANTREL_GENERATED_DIR}/vantrel_version.h ${VANTREL_GENERATED_DIR}/vantrel.manifest)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${PROJECT_SOURCE_DIR}/resources -I${PROJECT_SOURCE_DIR}/src -I${VANTREL_GENERATED_DIR}")
add_library(vantrel_resources OBJECT ${VANTREL_RC})

# The run-time library's helpers that throw for the containers, and its name demangler, are
# replaced by the small ones of lean_runtime.cpp: their own objects would bring about 130 KB of
# unused library code along (see there). The link sends the library's names to ours; with
# link-time optimisation the replacements must also be named as wanted from outside the
# optimised code, or it drops them before the wrapping takes effect.
set(VANTREL_WRAPPED_RUNTIME _ZSt20__throw_length_errorPKc _ZSt24__throw_out_of_range_fmtPKcz
    _ZSt19__throw_logic_errorPKc _ZSt17__throw_bad_allocv _ZSt28__throw_bad_array_new_lengthv __cxa_demangle)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(VANTREL_SYMBOL_PREFIX _)  # 32-bit Windows names C symbols with a leading underscore
else()
  set(VANTREL_SYMBOL_PREFIX "")
endif()
function(vantrel_use_lean_runtime target)
  target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src/app/entry/lean_runtime.cpp)
  foreach(symbol ${VANTREL_WRAPPED_RUNTIME})
    target_link_options(${target} PRIVATE -Wl,--wrap=${symbol} -Wl,--undefined=${VANTREL_SYMBOL_PREFIX}__wrap_${symbol})
  endforeach()
endfunction()

function(vantrel_program name platform_lib)
  add_executable(${name} WIN32 ${PROJECT_SOURCE_DIR}/src/app/entry/winmain.cpp $<TARGET_OBJECTS:vantrel_resources>)
  # Each program links exactly one back end, which provides platform::StartBackend().
  target_link_libraries(${name} PRIVATE ${platform_lib} vantrel_app)
  vantrel_use_lean_runtime(${name})
  set_target_properties(${name} PROPERTIES OUTPUT_NAME ${name} RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  if(CMAKE_BUILD_TYPE STREQUAL "MinSizeRel" OR CMAKE_BUILD_TYPE STREQUAL "Release")
    target_link_options(${name} PRIVATE -s)
  endif()
endfunction()

vantrel_program(vantrel vantrel_platform_win32)
vantrel_program(vantrel-sim vantrel_platform_sim)

# The language files ship beside the program.
file(GLOB VANTREL_LANGUAGE_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/languages/*.lng)
set(VANTREL_COPY_LANGUAGES ${CMAKE_COMMAND} -E true)
if(VANTREL_LANGUAGE_FILES)
  set(VANTREL_COPY_LANGUAGES ${CMAKE_COMMAND} -E copy_if_different ${VANTREL_LANGUAGE_FILES} ${CMAKE_BINARY_DIR}/bin/Languages/)
endif()
add_custom_target(vantrel_languages ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/bin/Languages
  COMMAND ${VANTREL_COPY_LANGUAGES}
  DEPENDS ${VANTREL_LANGUAGE_FILES}
  COMMENT "Copying the language files")

# The help file ships beside the program; it is compiled when the help compiler is there.
# The project is checked first (a topic named in the table of contents but missing fails the
# build), and the compiler's two time stamps are cleared afterwards, so that one source gives
# one file.
find_program(VANTREL_CHMCMD chmcmd)
if(VANTREL_CHMCMD)
  find_package(Python3 COMPONENTS Interpreter REQUIRED)
  file(GLOB VANTREL_HELP_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/help/*)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/help)
  add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/bin/vantrel.chm
    COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/packaging/check_help.py ${PROJECT_SOURCE_DIR}/help
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/help ${CMAKE_BINARY_DIR}/help
    COMMAND ${VANTREL_CHMCMD} vantrel.hhp
    COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/packaging/chm.py normalize vantrel.chm
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/help/vantrel.chm ${CMAKE_BINARY_DIR}/bin/vantrel.chm
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/help
    DEPENDS ${VANTREL_HELP_SOURCES} ${PROJECT_SOURCE_DIR}/packaging/check_help.py ${PROJECT_SOURCE_DIR}/packaging/chm.py
    COMMENT "Checking and compiling the help file")
  add_custom_target(vantrel_help ALL DEPENDS ${CMAKE_BINARY_DIR}/bin/vantrel.chm)
endif()

if(VANTREL_PACKAGE)
  include(${PROJECT_SOURCE_DIR}/cmake/package.cmake)
endif()
