// The back end a program is linked with: the real system or the simulated machine. Each
// program links exactly one, and its entry point starts it before anything else runs.
#pragma once

#include <windows.h>

namespace vantrel::platform {

// Installs the back end as the implementation behind Sys(). Returns false when it cannot
// start (the reason is then in the last error).
bool StartBackend(HINSTANCE instance);
// Releases what StartBackend took; Sys() is the unavailable back end afterwards.
void StopBackend();
// The title suffix by which a simulated run tells itself apart ("" for the real system).
const char* BackendLabel();

}  // namespace vantrel::platform
