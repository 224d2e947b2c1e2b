// The system's scheme records to and from the bytes a scheme file names field by field
// (core/scheme_records.h). The layout is checked against the SDK's records when this builds.
#pragma once

#include <windows.h>

#include "platform/system_api.h"  // the records (the library's header has no include guard)
#include "power/core/scheme_records.h"

namespace vantrel::power {

XpSchemeRecords ToSchemeRecords(const POWER_POLICY& policy, const MACHINE_PROCESSOR_POWER_POLICY& processor);
void FromSchemeRecords(const XpSchemeRecords& records, POWER_POLICY* policy, MACHINE_PROCESSOR_POWER_POLICY* processor);

}  // namespace vantrel::power
