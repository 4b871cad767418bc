#pragma once
// The three things the vessel buttons do (manoeuvre a vessel, show a target's CPA data, jump
// to another vessel as the own ship) and which vessel each may be done to: the one rule for the
// console's buttons and the menus' vessel entries. In an assessed exercise the student handles
// the own vessel alone and stays on it; the CPA data is shown where the exercise allows it.

namespace mv {

enum class VesselMode { Maneuver, Cpa, JumpTo };

struct VesselRules {
    bool Assessed = false;      // an assessed exercise is in force
    bool CpaInfoAllowed = true; // its permissions allow the CPA data
};

// The mode may be chosen at all.
constexpr bool VesselModeAllowed(VesselMode mode, VesselRules rules) {
    switch (mode) {
    case VesselMode::Maneuver:
        return true;
    case VesselMode::Cpa:
        return rules.CpaInfoAllowed;
    case VesselMode::JumpTo:
        return !rules.Assessed;
    }
    return false;
}

// Vessel `slot` (0 = A) may be taken in the mode, with `vessels` in the scenario and `own` the
// own vessel's slot. No CPA of the own vessel with itself, and no jump to where one stands.
constexpr bool VesselAllowed(VesselMode mode, int slot, int vessels, int own, VesselRules rules) {
    if (slot < 0 || slot >= vessels || !VesselModeAllowed(mode, rules)) return false;
    if (mode == VesselMode::Maneuver) return slot == own || !rules.Assessed;
    return slot != own;
}

} // namespace mv
