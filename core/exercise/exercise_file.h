#pragma once
// Assessed exercise files: a TOML text an instructor writes and edits by hand, naming the
// scenario (a demo file, vessels written inline, or random traffic), the orders the targets are
// given on the way, the current, what the student may use, the questions and the action asked
// for, and the tolerances the answers are marked against. Read whole, then checked, so a file
// with any mistake gives one message with its line and key and nothing else.

#include "core/aid_settings.h"
#include "core/figure.h"
#include "core/motion.h"
#include "core/radar_video/radar_video.h"
#include "core/scenario/demo_file.h"
#include "core/scenario/random_traffic.h"
#include "core/simulation.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

// A vessel written inline: the first is the own vessel. A fixed one is a buoy, a light or an
// anchored vessel: it keeps its place over the ground whatever the current.
struct ExerciseVessel {
    DemoVessel Vessel;
    bool Fixed = false;
};

struct ExerciseScenario {
    std::string Demo;                // a .dem file's name, found beside the exercise first
    std::optional<Difficulty> Level; // random traffic of this level ...
    uint32_t Number = 0;             // ... and exercise number
    std::vector<ExerciseVessel> Vessels;
    int Line = 0; // of the [scenario] table, for messages about the scenario as a whole
};

struct ExercisePermissions {
    bool CpaInfo = true;
    bool CpaComputer = true;
    bool TrueView = true;
    AidPermissions Aids;
    std::vector<int16_t> TimeFactors{1, 2, 5, 10, 30, 60, 120}; // those the student may choose
    bool Pause = true;
};

struct Question {
    double At = 0.5;          // days of sea time
    std::vector<int> Targets; // vessel slots; every target when the file names none
    std::vector<Figure> Figures;
    // Target course and speed marked over the ground instead of through the water.
    bool OverGround = false;
    int Line = 0;
};

// "Set up the display": at its time the student's gain, sea and rain controls must leave every
// target that matters showing in the video, and no more than NoiseLimit of the cells that hold
// no target (receiver noise, sea and rain clutter) lit.
struct DisplayQuestion {
    double At = 0.5;          // days of sea time
    std::vector<int> Targets; // vessel slots; every target when the file names none
    double NoiseLimit = 0.05; // share of the cells without a target, 0..1
    int Line = 0;
};

// What the student must achieve: every target passed at MinCpa nautical miles or more, the
// first alteration made by ActBy.
struct RequiredAction {
    double MinCpa = 0;           // nautical miles; 0 when no action is asked
    std::optional<double> ActBy; // days of sea time
    // The targets to be passed at MinCpa (vessel slots); when the file names none, every
    // target that is not fixed (a buoy or a ship at anchor is not a vessel to keep clear of
    // under the steering rules).
    std::vector<int> Targets;
    int TargetsLine = 0;
};

// How far an answer may be from the truth and still be right. CPA 0.2 nm, TCPA 2 minutes,
// course 3 degrees and speed 1 knot are the margins radar-plotting examiners allow; aspect,
// set and drift, read off a plot less finely, get 10 degrees, 10 degrees and 0.5 knot.
struct Tolerances {
    double Cpa = 0.2;   // nautical miles
    double Tcpa = 2;    // minutes
    double Course = 3;  // degrees
    double Speed = 1;   // knots
    double Aspect = 10; // degrees
    double Set = 10;    // degrees
    double Drift = 0.5; // knots
    double Of(Figure f) const;
};

// The radar's picture in an exercise: the video a set gives (noise, clutter, false echoes)
// or the plain echoes, and what the sea, the weather and the own ship put into the video.
// Rain, racons and a SART are placed by bearing (degrees true) and range (nautical miles)
// from the own ship where the exercise starts.
struct ExerciseVideo {
    struct Place {
        float Bearing = 0;
        double Range = 0;
    };
    struct Shower {
        Place At;
        double Radius = 1;      // nautical miles
        double Intensity = 0.5; // 0..1
        double Drift = 0;       // knots, downwind
    };
    struct Beacon {
        Place At;
        char Letter = 'D';
    };
    bool Video = false; // presentation = "video"
    RadarBand Band = RadarBand::X;
    std::optional<int> SeaState; // 0 calm .. 6 very rough; the Seas menu's when absent
    float WindFrom = 0;          // degrees true
    bool Ducting = false, SideLobes = true, MultipleEchoes = true, IndirectEchoes = true;
    std::vector<Shower> Rain;
    std::vector<ShadowSector> Sectors; // none: the set's own mast shadow ahead
    std::vector<Beacon> Racons;
    std::optional<Place> Sart;
};
// The most of each an exercise may place: more is clutter of the instructor's, not a lesson.
inline constexpr size_t kMostRainAreas = 8, kMostSectors = 4, kMostRacons = 6;
// The video world an exercise gives, its places taken from the own ship's start position in
// `start`.
VideoWorld VideoWorldFor(const ExerciseVideo& video, const VesselTables& start);

struct AssessedExercise {
    std::string Title, Description;
    ExerciseScenario Scenario;
    SeaCurrent Current;
    std::vector<ScriptedOrder> Orders;
    std::vector<int> OrderLines; // the line of each order, for messages
    ExercisePermissions Allowed;
    std::vector<Question> Questions;
    std::vector<DisplayQuestion> Setups;
    RequiredAction Action;
    Tolerances Tolerance;
    double TimeLimit = 0; // minutes of sea time; 0 for none
    bool RestrictedVisibility = false;
    // Fixed errors of the own ship's sensors, which the tracker's figures carry: degrees the
    // gyro reads high (every bearing), percent the log reads high (the own speed through the
    // water). Neither touches the truth, the answer key or the marking.
    double GyroError = 0, LogError = 0;
    ExerciseVideo Video;
    // The file's whole text as read: kept in the run's record, and marked from there.
    std::string Text;
};

struct ExerciseReadResult {
    std::optional<AssessedExercise> Exercise;
    std::string Error; // "Fog.toml, line 12, current.drift: a number of knots from 0 to 20"
    bool ok() const { return Exercise.has_value(); }
};

// Parses the text of an exercise file; fileName is used in messages only.
ExerciseReadResult ParseExercise(std::string_view text, std::string_view fileName);
// The largest exercise file read, in bytes: a real one is a few kilobytes of text.
inline constexpr std::uintmax_t kLargestExerciseFile = 1024 * 1024;
// The most scripted orders and questions an exercise may give: more is no exercise a student
// sits, and each question is a form opened and a mark worked.
inline constexpr size_t kMostOrders = 1000;
inline constexpr size_t kMostQuestions = 200;
// A demo's name as an exercise may give it: a file name ending in ".dem", with no folder.
bool IsDemoFileName(std::string_view name);
// Reads the file completely, then parses it.
ExerciseReadResult ReadExerciseFile(const std::filesystem::path& path);

// Fills a fresh simulation with the exercise's vessels, current and orders, clock at 12:00:00
// and its start state saved; orders timed at the start are given at once. A demo named by the
// exercise is looked for in `folder` (the exercise's own) and then in demoFolders. Returns an
// error text, empty on success; on error `sim` is left as it was.
std::string BuildExerciseSimulation(const AssessedExercise& exercise,
                                    const std::filesystem::path& folder,
                                    const std::vector<std::filesystem::path>& demoFolders,
                                    Simulation& sim);

// Reads an exercise file and builds its simulation, a demo it names looked for beside it and
// then in demoFolders: the exercise, or the message of the first mistake (the file's or its
// scenario's). `start` is filled only on success.
ExerciseReadResult LoadExercise(const std::filesystem::path& path,
                                const std::vector<std::filesystem::path>& demoFolders,
                                Simulation& start);

} // namespace mv
