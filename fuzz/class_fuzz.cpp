// Class messages of any bytes, as any holder of an account could send them: every reader gives
// either a message or one reason starting with its kind, never both and never a throw; what it
// accepts is written back to a text it reads the same.

#include "core/classroom/class_messages.h"
#include "fuzz/fuzz_check.h"

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    const std::string_view bytes = fuzz::Bytes(data, size);
    Try<ClassExercise>(bytes, ParseClassExercise, "exercise");
    Try<ClassClock>(bytes, ParseClassClock, "clock");
    Try<ClassCommand>(bytes, ParseClassCommand, "command");
    Try<ClassStatus>(bytes, ParseClassStatus, "status");
    Try<ClassState>(bytes, ParseClassState, "state");
    Try<ClassAnswer>(bytes, ParseClassAnswer, "answer");
    Try<ClassRecord>(bytes, ParseClassRecord, "record");
    return 0;
}
