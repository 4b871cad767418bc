// Run records of any bytes: a record whose every moment has all its vessels, an own vessel and
// picked targets among them and figures the picture can draw, whose answers and orders are of
// its vessels, or a message; never both, never neither, never a crash.

#include "core/record/run_reader.h"
#include "fuzz/fuzz_check.h"

#include <cmath>
#include <cstdint>

using namespace mv;
using mv::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const RunReadResult read = ReadRunRecordBytes({data, size});
    Check(read.ok() == read.Error.empty(), "a record or a message, never both or neither");
    if (!read.ok()) return 0;
    const RunRecord& r = *read.Record;
    const auto n = r.Vessels.size();
    Check(n >= 1 && n <= static_cast<size_t>(kMaxVessels), "one to six vessels");
    Check(!r.Ticks.empty(), "at least one moment");
    for (const RunTick& t : r.Ticks) {
        Check(t.Vessels.size() == n, "every vessel in every moment");
        Check(t.OwnVessel >= 0 && static_cast<size_t>(t.OwnVessel) < n, "an own vessel");
        Check(t.Display.Range > 0 && std::isfinite(t.Display.Range), "a range scale");
        for (const int p : t.Display.Picked)
            Check(p >= 0 && static_cast<size_t>(p) < n, "picked targets are vessels");
        for (const RunVesselState& v : t.Vessels)
            Check(std::isfinite(v.Pos.X) && std::isfinite(v.Pos.Y) && std::isfinite(v.Heading) &&
                      std::isfinite(v.Speed),
                  "positions, headings and speeds are numbers");
    }
    for (const RunEvent& e : r.Events)
        Check(e.Vessel >= -1 && e.Vessel < static_cast<int>(n), "an event's vessel is one");
    for (const RunAnswer& a : r.Answers)
        Check(a.Vessel >= -1 && a.Vessel < static_cast<int>(n) && a.Question >= 0 &&
                  std::isfinite(a.Value),
              "an answer is to a question, of a vessel of the run or of none, and a number");
    for (const RunOrder& o : r.Orders)
        Check(o.Vessel >= 0 && o.Vessel < static_cast<int>(n) && o.Course >= 0 && o.Course < 360 &&
                  std::isfinite(o.Speed),
              "an order is to a vessel of the run, on a course of the compass");
    return 0;
}
