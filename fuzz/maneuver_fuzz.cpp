// The manoeuvre panel with any texts (course, turn left, turn right and speed, one per input
// line, then keypad keys): the speed ceiling keeps a speed entry at 99.9 knots or below;
// Execute either orders a whole heading 0 to 359 and a speed that is a number, or empties the
// field at fault and changes nothing else.

#include "core/aids/maneuver.h"
#include "core/number_text.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_texts.h"

#include <cmath>
#include <cstdint>

using namespace mv;
using mv::fuzz::At;
using mv::fuzz::Check;

namespace {

bool SameVessel(const VesselData& a, const VesselData& b) {
    return a.NewHeading == b.NewHeading && a.Heading == b.Heading &&
           (a.NewSpeed == b.NewSpeed || (std::isnan(a.NewSpeed) && std::isnan(b.NewSpeed)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto texts = mv::fuzz::Lines(mv::fuzz::Bytes(data, size));

    const std::string ceiling = SpeedCeiling(At(texts, 3));
    Check(ceiling == At(texts, 3) || ceiling == "99.9", "the text as typed or the ceiling");
    Check(LeadingNumber(ceiling) <= 99.9, "no speed entry above 99.9 knots");

    // Keypad presses into the speed entry, from the fifth line's bytes.
    ManeuverEntries keyed;
    keyed.Selected = ManeuverField::Speed;
    for (char key : At(texts, 4)) {
        KeyPad(keyed, static_cast<unsigned char>(key) % 11);
        Check(LeadingNumber(keyed.Speed) <= 99.9, "the keypad stays under the ceiling");
    }

    Simulation sim;
    sim.Vessels.Create(2);
    sim.Vessels.Vessel[0] = {90, 90, 10, 10, kMedium};
    sim.Vessels.Vessel[1] = {180, 180, 12, 12, kLarge};
    const int vessel = size > 0 ? data[0] % 2 : 0;
    const VesselData before = sim.Vessels.Vessel[static_cast<size_t>(vessel)];

    ManeuverEntries entries;
    entries.Course = At(texts, 0);
    entries.TurnLeft = At(texts, 1);
    entries.TurnRight = At(texts, 2);
    entries.Speed = At(texts, 3);
    const auto message = ExecuteManeuver(entries, vessel, sim);
    const VesselData& after = sim.Vessels.Vessel[static_cast<size_t>(vessel)];
    if (message) {
        Check(!message->Text.empty(), "a refusal is explained");
        Check(SameVessel(before, after), "a refused order changes nothing");
        if (message->Field != ManeuverField::None)
            Check(entries.Field(message->Field)->empty(), "the field at fault is emptied");
        return 0;
    }
    Check(after.NewHeading >= 0 && after.NewHeading <= 359, "a whole heading 0 to 359");
    Check(std::isfinite(after.NewSpeed), "an ordered speed is a number");
    Check(sim.Maneuvering, "the order is under way");
    return 0;
}
