#pragma once
// An assessed exercise's results file: the student, the exercise and the run record it came
// from, every answer as typed with the time it was handed in, and at the end how the exercise
// ended, each answer's truth and mark, and the total. Written whole again after every answer,
// so a crash loses none; JSON, so an instructor can read it. marovane-plot grade trusts none of its
// marks: it works them afresh from the exercise file and the record and says when the written ones
// differ.

#include "core/exercise/grading.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

inline constexpr const char* kResultsFormat = "Marovane exercise results";
inline constexpr int kResultsVersion = 1;

// A figure's mark: written only once the exercise has ended, so that while it runs the
// student's machine holds no truth and no verdict.
struct ResultsMark {
    double Truth = 0;
    bool Right = false;
    friend bool operator==(const ResultsMark&, const ResultsMark&) = default;
};

struct ResultsAnswer {
    Answer Given;
    double At = 0.5; // sea time handed in, days
    std::optional<ResultsMark> Marked;
};

struct ExerciseResults {
    std::string Student;
    std::string ExerciseFile; // as opened, a full path
    std::string Title;
    std::string RecordFile; // the run record, a full path; empty when the run is not recorded
    std::string Started;    // wall-clock time, ISO 8601 UTC
    std::string Ended;      // empty while running, else how: "time limit", "all questions
                            // answered" or "ended by the student"
    std::vector<ResultsAnswer> Answers;
    std::optional<Score> Total; // once ended
};

// The answers of a marked run, each with its mark, for the results file written at the end.
std::vector<ResultsAnswer> ResultsAnswers(const RunGrading& grading);

std::string ResultsText(const ExerciseResults& results);
// Written whole and renamed over the old file. An error text, empty on success.
std::string WriteResultsFile(const std::filesystem::path& path, const ExerciseResults& results);

struct ResultsReadResult {
    std::optional<ExerciseResults> Results;
    std::string Error; // "Ann.json: not a results file"
    bool ok() const { return Results.has_value(); }
};
ResultsReadResult ParseResults(std::string_view text, std::string_view fileName);
// The largest results file read, in bytes, and the most answers one may hold: an exercise
// asks at most 200 questions of a few figures each, a few hundred kilobytes of JSON.
inline constexpr std::uintmax_t kLargestResultsFile = 4 * 1024 * 1024;
inline constexpr size_t kMostResultsAnswers = 20000;
ResultsReadResult ReadResultsFile(const std::filesystem::path& path);

} // namespace mv
