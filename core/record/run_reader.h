#pragma once
// Opens a run record and reads it whole, checking it on the way: a file that is not SQLite,
// that another program wrote, that a newer Marovane wrote, or that is damaged or cut short
// gives a message saying which, never a crash and never a change to the file.

#include "core/record/run_record.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

namespace mv {

struct RunReadResult {
    std::optional<RunRecord> Record;
    std::string Error;
    bool ok() const { return Record.has_value(); }
};

// The largest record read, in bytes, and the most moments, events (and orders) and answers:
// a day's run ticking every second is some 20 MB and 86,400 moments.
inline constexpr std::uintmax_t kLargestRecord = 1024ull * 1024 * 1024;
inline constexpr std::int64_t kMostRecordMoments = 2'000'000;
inline constexpr std::int64_t kMostRecordEvents = 1'000'000;
inline constexpr std::int64_t kMostRecordAnswers = 20'000;

RunReadResult ReadRunRecord(const std::filesystem::path& path);

// A record without reading its moments, checked as a whole read checks it: every other table,
// the number of moments and the sea time of the first and the last, and of the moments only
// the one shown at sea time `at` (days, TickAt's rule), when asked and there is one. A summary
// or a single moment of a long record then costs a small part of reading it whole.
struct RunOutline {
    RunRecord Record; // its Ticks hold the moment asked for, or none
    std::int64_t Moments = 0;
    double First = 0.5, Last = 0.5; // days
};
struct RunOutlineResult {
    std::optional<RunOutline> Outline;
    std::string Error;
    bool ok() const { return Outline.has_value(); }
};
RunOutlineResult ReadRunOutline(const std::filesystem::path& path,
                                std::optional<double> at = std::nullopt);
// The same from the file's bytes in memory (the fuzzers' door).
RunReadResult ReadRunRecordBytes(std::span<const unsigned char> bytes);

} // namespace mv
