// The own-targets dialog with any texts (one per input line: the number of targets, then
// heading, speed, range and bearing of each row, the sizes from the first byte): the count
// check accepts 1 to 5 targets or says why; the field checks name a row in use; the loader
// either builds tables whose every figure can be plotted, every CPA computed, or says why in
// a message one can read.

#include "core/aids/cpa_data.h"
#include "core/scenario/own_targets.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_texts.h"

#include <cmath>
#include <cstdint>

using namespace mv;
using mv::fuzz::At;
using mv::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto texts = mv::fuzz::Lines(mv::fuzz::Bytes(data, size));
    OwnTargetFields fields;
    fields.Targets = At(texts, 0);
    for (size_t i = 0; i < fields.Rows.size(); ++i) {
        OwnTargetRow& row = fields.Rows[i];
        row.Type = static_cast<int16_t>(size > i ? data[i] % 3 : 1);
        row.Heading = At(texts, 1 + i * 4);
        row.Speed = At(texts, 2 + i * 4);
        row.Range = At(texts, 3 + i * 4);
        row.Bearing = At(texts, 4 + i * 4);
    }

    const TargetCountCheck count = CheckTargetCount(fields.Targets);
    Check(!count.Rows || (*count.Rows >= 1 && *count.Rows <= 5), "1 to 5 targets");
    Check(!count.NewText || !count.Message.empty(), "a replaced count is explained");
    if (count.Rows) {
        const auto failure = ValidateOwnTargets(fields, *count.Rows);
        Check(!failure || (failure->Row <= *count.Rows && !failure->Message.empty()),
              "a failing field is in a row in use and explained");
    }

    const OwnTargetsBuild build = LoadOwnTargets(fields);
    Check(build.ok() == build.Error.empty(), "tables or a message, never both or neither");
    if (!build.ok()) {
        Check(build.Error.size() <= 200, "a message one can read");
        return 0;
    }
    const VesselTables& t = *build.Tables;
    Check(t.NumVessels >= 2 && t.NumVessels <= kMaxVessels, "the own vessel and 1 to 5 targets");
    for (int i = 0; i < t.NumVessels; ++i) {
        const auto k = static_cast<size_t>(i);
        Check(std::isfinite(t.VesselPos[k].X) && std::isfinite(t.VesselPos[k].Y),
              "every vessel has a position");
        Check(std::fabs(t.Vessel[k].Speed) <= kLargestFigure, "every speed can be plotted");
        if (i == t.OwnVessel) continue;
        for (const bool ordered : {false, true})
            Check(DoCPA(t, i, ordered, BearingMode::Course).CPA != kCpaNotComputed,
                  "every CPA of an accepted scenario is computed");
    }
    return 0;
}
