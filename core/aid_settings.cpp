#include "core/aid_settings.h"

#include <algorithm>

namespace mv {

bool AlarmState::Update(const std::array<AlarmCause, kMaxVessels>& now) {
    bool sound = false;
    for (std::size_t i = 0; i < now.size(); ++i) {
        if (now[i] == AlarmCause::None)
            Acknowledged[i] = false;
        else if (Cause[i] == AlarmCause::None)
            sound = true;
        Cause[i] = now[i];
    }
    return sound;
}

void AlarmState::AcknowledgeAll() {
    for (std::size_t i = 0; i < Cause.size(); ++i)
        Acknowledged[i] = Cause[i] != AlarmCause::None;
}

bool AlarmState::InDanger(int vessel) const {
    return vessel >= 0 && vessel < kMaxVessels &&
           Cause[static_cast<std::size_t>(vessel)] != AlarmCause::None;
}

bool AlarmState::Unacknowledged(int vessel) const {
    return InDanger(vessel) && !Acknowledged[static_cast<std::size_t>(vessel)];
}

bool AlarmState::AnyUnacknowledged() const {
    for (int i = 0; i < kMaxVessels; ++i)
        if (Unacknowledged(i)) return true;
    return false;
}

double AidSettings::VectorMinutes() const {
    return kVectorMinutes.at(static_cast<std::size_t>(
        std::clamp<int>(VectorIndex, 0, static_cast<int>(kVectorMinutes.size()) - 1)));
}

namespace {
void Toggle(std::vector<int>& picked, int value) {
    const auto found = std::find(picked.begin(), picked.end(), value);
    if (found != picked.end()) {
        picked.erase(found);
        return;
    }
    if (picked.size() >= kMaxPicked) picked.erase(picked.begin());
    picked.push_back(value);
}
} // namespace

bool AidSettings::TogglePick(int vessel, int ownVessel, int numVessels) {
    if (vessel < 0 || vessel >= numVessels || vessel == ownVessel) return false;
    Toggle(Picked, vessel);
    return true;
}

void AidSettings::TogglePickTrack(int track) {
    Toggle(PickedTracks, track);
}

void AidSettings::ApplyPermissions(bool& courseUp, bool& trueTrails) {
    if (!Allowed.Vectors) Vectors = VectorMode::Off;
    if (!Allowed.TrueTrails) trueTrails = false;
    if (!Allowed.CourseUp) courseUp = false;
    if (!Allowed.TargetData) Picked.clear(), PickedTracks.clear();
    if (!Allowed.TruthAids) Arpa = true;
    if (!Allowed.CpaAlarm) Limits.CpaAlarmOn = false;
    if (!Allowed.GuardRing) Limits.GuardOn = false;
}

} // namespace mv
