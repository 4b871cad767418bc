#pragma once
// One sea for a class: every seat taking part steers a ship of its own in the same world and
// sees the others' ships as targets beside the scenario's. Seat n's ship (from 0) starts n times
// a set distance abeam to starboard of the scenario's own ship, on her course and speed: a
// teacher reads it as "the class in line abreast, so many cables apart", and the scenario's own
// ship stays the first seat's. Each seat opens an exercise of its own, made here from the
// class's: its own ship first, the scenario's targets in their slots (so the exercise's orders,
// questions and action name the same letters), then the other seats' ships in seat order. The
// instructor marks each seat against that seat's exercise, so the one marking judges a student's
// action against the other students' ships as it does against any target.

#include "core/exercise/exercise_file.h"
#include "core/simulation.h"

#include <string>
#include <string_view>
#include <vector>

namespace mv {

// Nautical miles between neighbouring ships at the start; a cable is 0.1 nm.
inline constexpr double kDefaultSeaSpacing = 1.0;

// Where each of `seats` ships starts (nautical miles north and east of the scenario's origin):
// the first at the scenario's own ship, each next `spacing` further to starboard of her heading.
std::vector<PointD> SeaStarts(const VesselTables& start, int seats, double spacing);

// The exercise text for the seat whose ship starts at starts[seat]: the scenario written as
// vessels (own ship first, placed by bearing and range), every other key of the text kept. Empty
// with `error` set when the ships do not fit the six slots or a ship would lie beyond a
// scenario's 48 nm.
std::string OneSeaExerciseText(std::string_view text, const AssessedExercise& exercise,
                               const Simulation& start, const std::vector<PointD>& starts,
                               size_t seat, std::string& error);

// Where another seat's ship is now, by dead reckoning from her seat's last state: from `at`
// (nautical miles north and east, in our frame) when our sea clock read `stateTime` (days), on
// her heading (degrees true) and speed through the water (knots), set by the current, to our
// clock's `now` (days). Sea time, not wall time: at x120 a state one wall second old is two
// minutes of sea, and a ship at 12 kn has gone 0.4 nm meanwhile.
PointD ReckonedPosition(const PointD& at, double heading, double speed, const SeaCurrent& current,
                        double stateTime, double now);

// The slot on `seat`'s tables of the ship of seat `other` (not the same seat) when the scenario
// has `scenarioVessels` vessels.
int SeaSlot(int scenarioVessels, size_t seat, size_t other);

} // namespace mv
