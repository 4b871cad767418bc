#include "core/vessel.h"

#include <algorithm>

namespace mv {

std::string VesselLetter(int slot) {
    return std::string(1, static_cast<char>('A' + slot));
}

double SizeFromType(int16_t type) {
    switch (type) {
    case 0:
        return kSmall;
    case 1:
        return kMedium;
    case 2:
        return kLarge;
    default:
        return 0.0;
    }
}

int16_t TypeFromSize(double size) {
    if (size == kSmall) return 0;
    if (size == kMedium) return 1;
    if (size == kLarge) return 2;
    return -1;
}

void VesselTables::Create(int16_t n) {
    NumVessels = n;
    OwnVessel = 0;
    const auto count = static_cast<size_t>(std::max<int>(n, 0)) + 1;
    Vessel.assign(count, VesselData{});
    VesselPos.assign(count, PointD{});
    VesselFlag.assign(count, kFalse);
}

void VesselTables::SaveStartState() {
    const auto count = static_cast<size_t>(std::max<int>(NumVessels, 0)) + 1;
    StartVessel.assign(count, VesselData{});
    StartPos.assign(count, PointD{});
    std::copy_n(Vessel.begin(), count - 1, StartVessel.begin());
    std::copy_n(VesselPos.begin(), count - 1, StartPos.begin());
}

void VesselTables::RestoreStartState() {
    const auto n = std::min(
        {static_cast<size_t>(std::max<int>(NumVessels, 0)), StartVessel.size(), Vessel.size()});
    std::copy_n(StartVessel.begin(), n, Vessel.begin());
    std::copy_n(StartPos.begin(), n, VesselPos.begin());
}

} // namespace mv
