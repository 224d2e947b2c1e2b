# The release artefacts of one release build, in ${CMAKE_BINARY_DIR}/packages:
#   Vantrel-<version>-win32.zip or Vantrel-<version>-win64.zip: the program, its help, its
#     Languages folder, a read-me and the licence, in one folder "Vantrel"; the same inputs
#     give the same bytes (see packaging/make_zip.py);
#   32-bit only: Vantrel-<version>-win32-installer.exe, the per-user installer
#     (packaging/vantrel.nsi).
# scripts/package builds both release presets and gathers their artefacts.
if(NOT VANTREL_CHMCMD)
  message(FATAL_ERROR "The release artefacts need the help compiler chmcmd (Debian package fp-utils).")
endif()
find_package(Python3 COMPONENTS Interpreter REQUIRED)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(VANTREL_PACKAGE_ARCH win64)
  set(VANTREL_PACKAGE_SYSTEMS "This is the 64-bit program, for 64-bit Windows 7 and later.")
else()
  set(VANTREL_PACKAGE_ARCH win32)
  set(VANTREL_PACKAGE_SYSTEMS "This is the 32-bit program, for Windows XP SP3 and later (32- and 64-bit).")
endif()
set(VANTREL_PACKAGE_NAME Vantrel-${VANTREL_VERSION_TEXT}-${VANTREL_PACKAGE_ARCH})
set(VANTREL_PACKAGE_DIR ${CMAKE_BINARY_DIR}/packages)
set(VANTREL_PACKAGE_TEXTS ${CMAKE_BINARY_DIR}/package-texts)
set(VANTREL_ZIP ${VANTREL_PACKAGE_DIR}/${VANTREL_PACKAGE_NAME}.zip)
set(VANTREL_INSTALLER ${VANTREL_PACKAGE_DIR}/Vantrel-${VANTREL_VERSION_TEXT}-win32-installer.exe)
file(MAKE_DIRECTORY ${VANTREL_PACKAGE_DIR})

# The two texts carry Windows line ends, so that every editor of Windows shows them right.
configure_file(${PROJECT_SOURCE_DIR}/packaging/README.txt.in ${VANTREL_PACKAGE_TEXTS}/README.txt
               @ONLY NEWLINE_STYLE WIN32)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${VANTREL_PACKAGE_TEXTS}/LICENSE.txt @ONLY NEWLINE_STYLE WIN32)

# The installer and the uninstaller take the list of language files from here.
set(VANTREL_NSIS_LANGUAGES "!macro INSTALL_LANGUAGES\n")
foreach(language ${VANTREL_LANGUAGE_FILES})
  string(APPEND VANTREL_NSIS_LANGUAGES "  File \"${language}\"\n")
endforeach()
string(APPEND VANTREL_NSIS_LANGUAGES "!macroend\n!macro REMOVE_LANGUAGES\n")
foreach(language ${VANTREL_LANGUAGE_FILES})
  get_filename_component(name ${language} NAME)
  string(APPEND VANTREL_NSIS_LANGUAGES "  Delete \"$INSTDIR\\Languages\\${name}\"\n")
endforeach()
string(APPEND VANTREL_NSIS_LANGUAGES "!macroend\n")
file(CONFIGURE OUTPUT ${VANTREL_PACKAGE_TEXTS}/languages.nsh CONTENT "${VANTREL_NSIS_LANGUAGES}" @ONLY)

set(VANTREL_CHM ${CMAKE_BINARY_DIR}/bin/vantrel.chm)
set(VANTREL_ZIP_FILES
  vantrel.exe=$<TARGET_FILE:vantrel>
  vantrel.chm=${VANTREL_CHM}
  README.txt=${VANTREL_PACKAGE_TEXTS}/README.txt
  LICENSE.txt=${VANTREL_PACKAGE_TEXTS}/LICENSE.txt)
foreach(language ${VANTREL_LANGUAGE_FILES})
  get_filename_component(name ${language} NAME)
  list(APPEND VANTREL_ZIP_FILES Languages/${name}=${language})
endforeach()

add_custom_command(
  OUTPUT ${VANTREL_ZIP}
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/packaging/make_zip.py ${VANTREL_ZIP} Vantrel
          ${PROJECT_SOURCE_DIR} ${VANTREL_ZIP_FILES}
  DEPENDS vantrel $<TARGET_FILE:vantrel> ${VANTREL_CHM} ${VANTREL_LANGUAGE_FILES}
          ${VANTREL_PACKAGE_TEXTS}/README.txt ${VANTREL_PACKAGE_TEXTS}/LICENSE.txt
          ${PROJECT_SOURCE_DIR}/packaging/make_zip.py
  COMMENT "Packing ${VANTREL_PACKAGE_NAME}.zip")
add_custom_target(vantrel_zip ALL DEPENDS ${VANTREL_ZIP})
add_dependencies(vantrel_zip vantrel_help vantrel_languages)

if(VANTREL_PACKAGE_ARCH STREQUAL "win32")
  find_program(VANTREL_MAKENSIS makensis)
  if(NOT VANTREL_MAKENSIS)
    message(FATAL_ERROR "The installer needs makensis (Debian package nsis).")
  endif()
  # Everything but the output; the installer test makes it again with these.
  set(VANTREL_NSIS_ARGUMENTS -V2 -WX
      -DVERSION=${VANTREL_VERSION_TEXT} -DVERSION_MAJOR=${PROJECT_VERSION_MAJOR}
      -DVERSION_MINOR=${VANTREL_VERSION_MINOR}
      -DPROGRAM=$<TARGET_FILE:vantrel> -DHELP=${VANTREL_CHM}
      -DLANGUAGES=${VANTREL_PACKAGE_TEXTS}/languages.nsh
      -DREADME=${VANTREL_PACKAGE_TEXTS}/README.txt -DLICENSE=${VANTREL_PACKAGE_TEXTS}/LICENSE.txt)
  add_custom_command(
    OUTPUT ${VANTREL_INSTALLER}
    COMMAND ${VANTREL_MAKENSIS} ${VANTREL_NSIS_ARGUMENTS} -DOUTFILE=${VANTREL_INSTALLER}
            ${PROJECT_SOURCE_DIR}/packaging/vantrel.nsi
    DEPENDS vantrel $<TARGET_FILE:vantrel> ${VANTREL_CHM} ${VANTREL_LANGUAGE_FILES}
            ${VANTREL_PACKAGE_TEXTS}/README.txt ${VANTREL_PACKAGE_TEXTS}/LICENSE.txt
            ${VANTREL_PACKAGE_TEXTS}/languages.nsh ${PROJECT_SOURCE_DIR}/packaging/vantrel.nsi
    COMMENT "Making the installer Vantrel-${VANTREL_VERSION_TEXT}-win32-installer.exe")
  add_custom_target(vantrel_installer ALL DEPENDS ${VANTREL_INSTALLER})
  add_dependencies(vantrel_installer vantrel_help vantrel_languages)
endif()
