// Yaw files of any bytes: a table of finite offsets with as many rows as its count, or a
// message naming the file.

#include "core/scenario/yaw_file.h"
#include "fuzz/fuzz_check.h"

#include <cmath>
#include <cstdint>

using namespace mv;
using mv::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const YawReadResult read = ParseYaw(mv::fuzz::Bytes(data, size), "Yaw.txt");
    Check(read.ok() == read.Error.empty(), "a table or a message, never both or neither");
    if (!read.ok()) {
        Check(read.Error.find("Yaw.txt") != std::string::npos, "the message names the file");
        return 0;
    }
    Check(read.Table->YawCount() >= 0, "a row count of 0 or more");
    for (const auto& row : read.Table->Rows)
        for (float v : row)
            Check(std::isfinite(v), "every offset is a number");
    return 0;
}
