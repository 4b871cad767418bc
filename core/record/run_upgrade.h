#pragma once
// Records of an older format brought up to the present one after they are read, one step per
// format: step k takes what format k holds to what format k + 1 holds, so a record of any
// format passes through every step after its own.

#include "core/record/run_record.h"

namespace mv {

// Brings `run`, read as it was in its format `version`, to kRunFormatVersion.
void UpgradeRecord(RunRecord& run, int version);

} // namespace mv
