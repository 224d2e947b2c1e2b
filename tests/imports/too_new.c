/* A program that imports a function Windows XP lacks and one Windows 7 lacks: the import
   check must refuse it for either system. */
#include <windows.h>

__declspec(dllimport) ULONGLONG WINAPI GetTickCount64(void);
__declspec(dllimport) void WINAPI GetSystemTimePreciseAsFileTime(LPFILETIME time);

int main(void) {
  FILETIME now;
  GetSystemTimePreciseAsFileTime(&now);
  return (int)((GetTickCount64() + now.dwLowDateTime) & 1);
}
