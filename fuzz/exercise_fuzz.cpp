// The random-traffic exercise number with any text: taken exactly when the text, blanks and
// tabs at its ends removed, is decimal digits of a value 0 to 4294967295 (worked out here
// digit by digit), and the number it gives is that value and names the same traffic in the
// title.

#include "core/scenario/random_traffic.h"
#include "fuzz/fuzz_check.h"

#include <cstdint>
#include <optional>
#include <string>

using namespace mv;
using mv::fuzz::Check;

namespace {

std::optional<uint32_t> Expected(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    if (text.empty()) return std::nullopt;
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > UINT32_MAX) return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text = mv::fuzz::Bytes(data, size);
    const auto parsed = ParseExerciseNumber(text);
    Check(parsed == Expected(text), "the exercise number is the digits' value");
    if (parsed)
        Check(RandomTrafficTitle(Difficulty::Easy, *parsed).ends_with(std::to_string(*parsed)),
              "the title names the exercise");
    return 0;
}
