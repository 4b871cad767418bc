// Class messages of any bytes, as any holder of an account could send them: every reader gives
// either a message or one reason starting with its kind, never both and never a throw; what it
// accepts is written back to a text it reads the same. An exercise in one sea (version 2) is
// held to what a seat then does with it: its seats are names fit for topics, each once, two to
// six ships at finite starts, and each seat's own exercise text taken as the seat takes it or
// refused with a reason.

#include "core/classroom/class_messages.h"
#include "fuzz/fuzz_check.h"

#include <cmath>
#include <set>

using namespace mv;
using mv::fuzz::Check;

namespace {

template <class T, class Parse> void Try(std::string_view bytes, Parse parse, const char* kind) {
    const ClassParsed<T> read = parse(bytes);
    Check(read.ok() == read.Error.empty(), "a message or a reason, not both");
    if (!read.ok()) {
        Check(read.Error.starts_with(std::string("A class ") + kind + " message: "),
              "the reason names the message's kind");
        return;
    }
    const std::string text = ToJson(*read.Value);
    const ClassParsed<T> again = parse(text);
    Check(again.ok() && ToJson(*again.Value) == text, "a message written reads back alike");
}

// What a seat relies on in a one-sea exercise it was given.
void CheckSea(const ClassExercise& m) {
    if (m.Sea.empty()) return;
    Check(m.Sea.size() >= 2 && m.Sea.size() <= 6, "one sea holds two to six ships");
    Check(ToJson(m).find("\"version\":2") != std::string::npos, "one sea is written as version 2");
    std::set<std::string> seats;
    for (const ClassExercise::Ship& ship : m.Sea) {
        Check(IsClassName(ship.Seat), "a sea's seat is a name fit for a topic");
        Check(seats.insert(ship.Seat).second, "each seat sails once");
        // A start is a number the tick can carry: finite, and no farther than any position a
        // message may hold (10 000 nm), so that her offset from ours stays a plain number.
        Check(std::isfinite(ship.X) && std::isfinite(ship.Y) && std::abs(ship.X) <= 10000 &&
                  std::abs(ship.Y) <= 10000,
              "a ship starts at a finite place");
        // The seat's state is heard on its own topic, and on no other seat's.
        const auto parts = SplitSeatTopic("nav1", SeatTopic("nav1", ship.Seat, "state"));
        Check(parts && parts->Seat == ship.Seat && parts->What == "state",
              "a sea's seat is found again from its topic");
        std::string error;
        const std::string text = SeatExerciseText(ship.Text, error);
        Check(text.empty() != error.empty(), "a seat's own exercise is taken or refused, not both");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    const std::string_view bytes = fuzz::Bytes(data, size);
    Try<ClassExercise>(bytes, ParseClassExercise, "exercise");
    if (const auto sea = ParseClassExercise(bytes); sea.ok()) CheckSea(*sea.Value);
    Try<ClassClock>(bytes, ParseClassClock, "clock");
    Try<ClassCommand>(bytes, ParseClassCommand, "command");
    Try<ClassStatus>(bytes, ParseClassStatus, "status");
    Try<ClassState>(bytes, ParseClassState, "state");
    Try<ClassAnswer>(bytes, ParseClassAnswer, "answer");
    Try<ClassRecord>(bytes, ParseClassRecord, "record");
    return 0;
}
