// marovane-plot's command line with any arguments (one per input line) after "sightings" or
// "random": exit 0 with figures (an object with --json) and no NaN or infinity, 1 with a
// reason, or 2 with the usage.
// No argument may write a file: --out is left out.

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_texts.h"
#include "tools/plot/plot_tool.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

using namespace mv;
using mv::fuzz::Check;

namespace {

// No "nan" or "inf" as a word of its own, in any case (words such as "infinite" may stand).
bool Shown(const std::string& text) {
    std::string word;
    for (const char ch : text + " ") {
        if (std::isalpha(static_cast<unsigned char>(ch))) {
            word += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
            continue;
        }
        if (word == "nan" || word == "inf" || word == "infinity") return false;
        word.clear();
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    std::vector<std::string> args{(data[0] & 1) ? "random" : "sightings"};
    for (const std::string& a : mv::fuzz::Lines(mv::fuzz::Bytes(data + 1, size - 1)))
        if (a.rfind("--o", 0) != 0) args.push_back(a); // --out and any prefix of it
    std::ostringstream out, err;
    const int code = RunPlotTool(args, out, err);
    Check(code == 0 || code == 1 || code == 2, "exit 0, 1 or 2");
    if (code == 0) {
        Check(!out.str().empty() && Shown(out.str()), "figures, never nan or inf");
        auto given = [&args](const char* a) {
            return std::find(args.begin(), args.end(), a) != args.end();
        };
        // --help anywhere asks for the usage, which wins over --json.
        const bool help = given("--help") || given("-h");
        Check(!given("--json") || help || out.str().front() == '{', "--json gives an object");
    } else {
        Check(!err.str().empty(), "a reason on standard error");
    }
    if (code == 2) Check(err.str().find("usage:") != std::string::npos, "wrong arguments: usage");
    return 0;
}
