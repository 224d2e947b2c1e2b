#!/usr/bin/env bash
# Checks an executable's import table: system DLLs only (no MinGW runtime DLLs), none of those
# that must come from the system folder, and no function that the oldest Windows it is built
# for lacks.
#   check-imports.sh <objdump> <program.exe> <oldest: xp | win7 | any>
set -euo pipefail
objdump=$1 exe=$2 oldest=$3

imports=$("$objdump" -p "$exe")
dlls=$(printf '%s\n' "$imports" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
echo "DLLs imported by $(basename "$exe"):" $dlls

allowed="kernel32.dll user32.dll gdi32.dll comctl32.dll comdlg32.dll shell32.dll advapi32.dll msvcrt.dll"
# System libraries that are not known DLLs everywhere: Windows would take a copy from the
# program's folder first, so the program loads them from the system folder at run time.
from_system_folder="powrprof.dll setupapi.dll"
status=0
for dll in $dlls; do
  case " $allowed " in
    *" $dll "*) continue ;;
  esac
  case " $from_system_folder " in
    *" $dll "*) echo "FAIL: $(basename "$exe") imports $dll, which must be loaded from the system folder" ;;
    *) echo "FAIL: $(basename "$exe") imports $dll, which is not a system DLL of every supported Windows" ;;
  esac
  status=1
done

# Functions the oldest supported system lacks.
# objdump lists them as: a tab, the hint-name address, a tab, blanks, the hint, blanks, the name.
functions=$(printf '%s\n' "$imports" | awk '/^\t[ \t]*[0-9a-f]+[ \t]+[0-9]+[ \t]+[A-Za-z_]/{print $NF}')
win8="GetSystemTimePreciseAsFileTime CreateFile2 GetCurrentThreadStackLimits SetDefaultDllDirectories
AddDllDirectory RemoveDllDirectory GetOverlappedResultEx CreateFileMappingFromApp MapViewOfFileFromApp
GetPackageFamilyName SetThreadInformation GetProcessMitigationPolicy"
too_new=""
case "$oldest" in
  xp) too_new="$win8 GetTickCount64 InitializeSRWLock AcquireSRWLockExclusive AcquireSRWLockShared ReleaseSRWLockExclusive
ReleaseSRWLockShared TryAcquireSRWLockExclusive InitializeConditionVariable SleepConditionVariableCS
SleepConditionVariableSRW WakeConditionVariable WakeAllConditionVariable InitOnceExecuteOnce InitOnceBeginInitialize
InitOnceComplete FlsAlloc FlsFree FlsGetValue FlsSetValue CreateEventExA CreateEventExW CreateMutexExA CreateMutexExW
CreateSemaphoreExA CreateSemaphoreExW GetFileInformationByHandleEx SetFileInformationByHandle CompareStringEx
LCMapStringEx GetLocaleInfoEx GetUserDefaultLocaleName CreateSymbolicLinkA CreateSymbolicLinkW GetFinalPathNameByHandleA
GetFinalPathNameByHandleW QueryFullProcessImageNameA QueryFullProcessImageNameW GetSystemTimePreciseAsFileTime
SetThreadStackGuarantee GetCurrentProcessorNumber InitializeCriticalSectionEx GetNamedPipeServerProcessId
RegDeleteTreeA RegDeleteTreeW RegGetValueA RegGetValueW RegSetKeyValueA RegSetKeyValueW ChangeWindowMessageFilter
SetProcessDPIAware AddVectoredContinueHandler GetErrorMode PowerCreateRequest PowerSetRequest" ;;
  win7) too_new="$win8" ;;
esac
for f in $functions; do
  for bad in $too_new; do
    if [ "$f" = "$bad" ]; then echo "FAIL: $(basename "$exe") imports $f, which Windows $oldest lacks"; status=1; break; fi
  done
done
count=$(printf '%s\n' $functions | grep -c . || true)
echo "$count functions imported"
[ "$count" -gt 0 ] || { echo "FAIL: no imports read"; status=1; }
exit $status
