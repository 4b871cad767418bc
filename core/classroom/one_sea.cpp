#include "core/classroom/one_sea.h"

#include "core/classroom/toml_text.h"
#include "core/motion.h"
#include "core/vessel.h"

#include <cmath>
#include <numbers>
#include <sstream>

namespace mv {

namespace {

// The farthest a scenario may place a target (nautical miles).
constexpr double kFarthestTarget = 48;

// A vessel of the scenario as an inline table; a target by bearing (degrees true) and range
// (nautical miles) from `own`.
toml::table VesselTable(const VesselData& v, bool fixed, const PointD* at, const PointD& own) {
    toml::table t;
    const int16_t type = TypeFromSize(v.Size);
    t.insert("size", type == 0 ? "small" : type == 2 ? "large" : "medium");
    if (fixed) {
        t.insert("fixed", true);
    } else {
        // Whole degrees, as a scenario gives them; 359.6 is 000.
        const auto course = static_cast<int64_t>(std::lround(v.NewHeading)) % 360;
        t.insert("course", course);
        t.insert("speed", static_cast<double>(v.NewSpeed));
    }
    if (at) {
        const double dx = at->X - own.X, dy = at->Y - own.Y;
        double bearing = std::atan2(dy, dx) * 180 / std::numbers::pi;
        if (bearing < 0) bearing += 360;
        if (bearing >= 360) bearing = 0;
        t.insert("bearing", bearing);
        t.insert("range", std::hypot(dx, dy));
    }
    return t;
}

} // namespace

std::vector<PointD> SeaStarts(const VesselTables& start, int seats, double spacing) {
    std::vector<PointD> starts;
    const auto own = static_cast<size_t>(start.OwnVessel);
    const PointD origin = own < start.VesselPos.size() ? start.VesselPos[own] : PointD{};
    const double heading = own < start.Vessel.size() ? start.Vessel[own].Heading : 0.0;
    // To starboard: the heading plus 90 degrees.
    const double beam = (heading + 90) * std::numbers::pi / 180;
    for (int n = 0; n < seats; ++n)
        starts.push_back(
            {origin.X + n * spacing * std::cos(beam), origin.Y + n * spacing * std::sin(beam)});
    return starts;
}

int SeaSlot(int scenarioVessels, size_t seat, size_t other) {
    return scenarioVessels + static_cast<int>(other < seat ? other : other - 1);
}

std::string OneSeaExerciseText(std::string_view text, const AssessedExercise& exercise,
                               const Simulation& start, const std::vector<PointD>& starts,
                               size_t seat, std::string& error) {
    const VesselTables& v = start.Vessels;
    const size_t n = static_cast<size_t>(v.NumVessels);
    const size_t total = n + starts.size() - 1;
    if (seat >= starts.size() || n == 0 || total > static_cast<size_t>(kMaxVessels)) {
        error = "one sea holds " + std::to_string(kMaxVessels) + " ships: the scenario's " +
                std::to_string(n) + " and " + std::to_string(starts.size() - 1) +
                " more seats are too many";
        return {};
    }
    toml::table table;
    if (!ReadTomlText(text, table, error)) return {};
    const PointD& own = starts[seat];
    const auto ownSlot = static_cast<size_t>(v.OwnVessel);
    toml::array vessels;
    vessels.push_back(VesselTable(v.Vessel[ownSlot], false, nullptr, own));
    const auto& inlined = exercise.Scenario.Vessels;
    for (size_t i = 0; i < n; ++i)
        if (i != ownSlot)
            vessels.push_back(VesselTable(v.Vessel[i], i < inlined.size() && inlined[i].Fixed,
                                          &v.VesselPos[i], own));
    // The other seats' ships: each the scenario's own ship, moved to her start.
    for (size_t k = 0; k < starts.size(); ++k)
        if (k != seat) vessels.push_back(VesselTable(v.Vessel[ownSlot], false, &starts[k], own));
    for (const toml::node& t : vessels)
        if (const auto* range = t.as_table()->get_as<double>("range");
            range && range->get() > kFarthestTarget) {
            error = "a ship of the class would start beyond " +
                    std::to_string(static_cast<int>(kFarthestTarget)) + " nm";
            return {};
        }
    toml::table scenario;
    scenario.insert("vessel", std::move(vessels));
    table.insert_or_assign("scenario", std::move(scenario));
    // A demo's title and description came with the demo, now written out.
    if (!table.contains("title") && !start.Title.empty()) table.insert("title", start.Title);
    if (!table.contains("description") && !start.Description.empty())
        table.insert("description", start.Description);
    std::ostringstream out;
    out << toml::toml_formatter(table);
    error.clear();
    return out.str() + "\n";
}

PointD ReckonedPosition(const PointD& at, double heading, double speed, const SeaCurrent& current,
                        double stateTime, double now) {
    const CourseSpeed ground = OverGround(heading, speed, current);
    const double hours = (now - stateTime) * 24;
    const double a = ground.Course * std::numbers::pi / 180;
    return {at.X + std::cos(a) * ground.Speed * hours, at.Y + std::sin(a) * ground.Speed * hours};
}

} // namespace mv
