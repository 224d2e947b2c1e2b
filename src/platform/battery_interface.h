// The battery device-interface class. The SDK headers declare GUID_DEVICE_BATTERY without a
// definition (it needs INITGUID in exactly one unit), so the value is kept here once.
#pragma once

#include <windows.h>

namespace vantrel::platform {

// {72631E54-78A4-11D0-BCF7-00AA00B7B32A}
inline constexpr GUID kBatteryInterfaceClass = {
    0x72631E54, 0x78A4, 0x11D0, {0xBC, 0xF7, 0x00, 0xAA, 0x00, 0xB7, 0xB3, 0x2A}};

}  // namespace vantrel::platform
