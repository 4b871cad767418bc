#include "core/true_trails.h"

namespace mv {

void TrueTrailStore::Add(int vessel, const PointD& position) {
    if (vessel < 0 || vessel >= kMaxVessels) return;
    Ring& r = rings_[static_cast<std::size_t>(vessel)];
    if (r.points.size() < kTrueTrailPoints) {
        r.points.push_back(position);
        return;
    }
    r.points[r.next] = position;
    r.next = (r.next + 1) % kTrueTrailPoints;
}

void TrueTrailStore::Clear() {
    for (Ring& r : rings_) {
        r.points.clear(); // the capacity stays: a cleared trail costs no allocation to refill
        r.next = 0;
    }
}

void TrueTrailStore::Points(int vessel, std::vector<PointD>& out) const {
    out.clear();
    if (vessel < 0 || vessel >= kMaxVessels) return;
    const Ring& r = rings_[static_cast<std::size_t>(vessel)];
    out.insert(out.end(), r.points.begin() + static_cast<std::ptrdiff_t>(r.next), r.points.end());
    out.insert(out.end(), r.points.begin(), r.points.begin() + static_cast<std::ptrdiff_t>(r.next));
}

std::size_t TrueTrailStore::Count(int vessel) const {
    if (vessel < 0 || vessel >= kMaxVessels) return 0;
    return rings_[static_cast<std::size_t>(vessel)].points.size();
}

} // namespace mv
