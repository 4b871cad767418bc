// Results files of any bytes: the reader gives either whole results or one message naming
// the file, never both; results it accepts are written back to a text it reads the same.

#include "core/exercise/results_file.h"
#include "fuzz/fuzz_check.h"

using namespace mv;
using mv::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    const ResultsReadResult read = ParseResults(fuzz::Bytes(data, size), "r.json");
    Check(read.ok() == read.Error.empty(), "results or a message, not both");
    if (!read.ok()) {
        Check(read.Error.starts_with("r.json: "), "the message names the file");
        return 0;
    }
    const std::string text = ResultsText(*read.Results);
    const ResultsReadResult again = ParseResults(text, "r.json");
    Check(again.ok() && ResultsText(*again.Results) == text, "written results read back alike");
    return 0;
}
