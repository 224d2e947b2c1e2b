; The per-user installer of the 32-bit program: no administrator rights, everything under the
; current user (the program's folder, its Start-menu shortcut, its uninstall entry and, when
; chosen, its auto-start value).
;
;   makensis -DVERSION=1.00 -DVERSION_MAJOR=1 -DVERSION_MINOR=0 -DPROGRAM=<vantrel.exe>
;            -DHELP=<vantrel.chm> -DLANGUAGES=<languages.nsh> -DREADME=<README.txt>
;            -DLICENSE=<LICENSE.txt> -DOUTFILE=<installer.exe> vantrel.nsi
;
; Command line of the installer:   /S silent; /AUTOSTART also starts Vantrel with Windows;
;                                  /D=<folder> installs elsewhere (last, unquoted).
; Command line of the uninstaller: /S silent; /REMOVESETTINGS also deletes HKCU\Software\Vantrel.
; Both refuse to go on while Vantrel runs: they ask the user to close it (Retry, Cancel), and
; when silent they end at once with exit code 2, having changed nothing.

Unicode true
SetCompressor /SOLID lzma
; No file times in the installer: the same files give the same installer.
SetDateSave off
RequestExecutionLevel user
ManifestSupportedOS all

!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "Sections.nsh"
; INSTALL_LANGUAGES and REMOVE_LANGUAGES: the language files that ship (made by the build).
!include "${LANGUAGES}"

!define PRODUCT "Vantrel"
!define PUBLISHER "Vantrel developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantrel"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Corvane"
!define SETTINGS_KEY "Software\Vantrel"
; The program holds this semaphore while it runs (one copy per user).
!define SEMAPHORE "Corvane Semaphore"
!define SYNCHRONIZE 0x00100000
!define SHORTCUT "$SMPROGRAMS\Vantrel.lnk"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Vantrel"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show
BrandingText "${PRODUCT} ${VERSION}"
LicenseData "${LICENSE}"

VIProductVersion "${VERSION_MAJOR}.${VERSION_MINOR}.0.0"
VIFileVersion "${VERSION_MAJOR}.${VERSION_MINOR}.0.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} installer"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"

Page license
Page components
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage components
UninstPage instfiles

; Waits until no copy of the program runs. The user closes it and chooses Retry; Cancel (and,
; when silent, at once) ends the installer or uninstaller with exit code 2 before it has
; changed anything.
!macro WAIT_FOR_CLOSED_PROGRAM prefix
Function ${prefix}WaitForClosedProgram
  Push $0
  retry:
    System::Call 'kernel32::OpenSemaphoreW(i ${SYNCHRONIZE}, i 0, w "${SEMAPHORE}") p .r0'
    ${If} $0 P<> 0
      System::Call 'kernel32::CloseHandle(p r0)'
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "Vantrel is running.$\r$\n$\r$\nClose it (choose Exit in its menu in the notification area), then choose Retry." \
        /SD IDCANCEL IDRETRY retry
      DetailPrint "Vantrel is running: nothing was changed."
      SetErrorLevel 2
      Quit
    ${EndIf}
  Pop $0
FunctionEnd
!macroend
!insertmacro WAIT_FOR_CLOSED_PROGRAM ""
!insertmacro WAIT_FOR_CLOSED_PROGRAM "un."

Section "Vantrel (required)" SecProgram
  SectionIn RO
  Call WaitForClosedProgram
  SetOutPath "$INSTDIR"
  File "/oname=vantrel.exe" "${PROGRAM}"
  File "/oname=vantrel.chm" "${HELP}"
  File "/oname=README.txt" "${README}"
  File "/oname=LICENSE.txt" "${LICENSE}"
  SetOutPath "$INSTDIR\Languages"
  !insertmacro INSTALL_LANGUAGES
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "${SHORTCUT}" "$INSTDIR\vantrel.exe" "" "$INSTDIR\vantrel.exe" 0 SW_SHOWNORMAL "" \
    "Battery meter and power actions"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vantrel.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "VersionMajor" ${VERSION_MAJOR}
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "VersionMinor" ${VERSION_MINOR}
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

; The same value the Control page's "Program auto startup" writes: the quoted program path.
Section /o "Start with Windows" SecAutoStart
  WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\vantrel.exe"'
SectionEnd

Function .onInit
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/AUTOSTART" $R1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecAutoStart}
  ${EndIf}
  Call WaitForClosedProgram
FunctionEnd

Section "un.Vantrel" UnSecProgram
  SectionIn RO
  Call un.WaitForClosedProgram
  Delete "$INSTDIR\vantrel.exe"
  Delete "$INSTDIR\vantrel.chm"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  !insertmacro REMOVE_LANGUAGES
  ; Language files of the user's own stay, and so does their folder.
  RMDir "$INSTDIR\Languages"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "${SHORTCUT}"

  ; The auto-start value goes when it starts this copy (however the installer or the Control
  ; page wrote it); one that starts another copy of the program stays.
  ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${If} $0 == '"$INSTDIR\vantrel.exe"'
  ${OrIf} $0 == "$INSTDIR\vantrel.exe"
    DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${EndIf}
SectionEnd

Section /o "un.Remove my settings" UnSecSettings
  DeleteRegKey HKCU "${SETTINGS_KEY}"
SectionEnd

; Last, so that the entry disappears only when everything else is done.
Section "-un.Uninstall entry"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

Function un.onInit
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/REMOVESETTINGS" $R1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${UnSecSettings}
  ${EndIf}
  Call un.WaitForClosedProgram
FunctionEnd
