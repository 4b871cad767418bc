// Yaw files of any bytes: a table of finite offsets with as many rows as its count, or a
// message naming the file. A table written out here column by column reads back the same, so
// a reader that takes the values row by row, or reads one row too many or too few, fails;
// and a table made from the input's bytes, with known values in known places, reads back
// with each value in its row and column.

#include "core/scenario/yaw_file.h"
#include "fuzz/fuzz_check.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace mv;
using mv::fuzz::Check;

namespace {

// The file: the count, then column by column one value to a line, each with enough digits to
// give the same single-precision value back.
std::string YawText(const std::vector<std::array<float, 4>>& rows) {
    std::string text = std::to_string(rows.size()) + "\r\n";
    char buf[32];
    for (size_t column = 0; column < 4; ++column)
        for (const auto& row : rows) {
            std::snprintf(buf, sizeof buf, "%.9g\r\n", static_cast<double>(row[column]));
            text += buf;
        }
    return text;
}

void CheckReadsBack(const std::vector<std::array<float, 4>>& rows) {
    const YawReadResult back = ParseYaw(YawText(rows), "Yaw.txt");
    Check(back.ok(), "a written table reads back");
    Check(back.Table->Rows.size() == rows.size(), "as many rows as the count");
    for (size_t i = 0; i < rows.size(); ++i)
        Check(back.Table->Rows[i] == rows[i], "each value in its row and column");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Up to 7 rows of values made from the bytes: row i, column j holds a value of its own.
    if (size > 0) {
        std::vector<std::array<float, 4>> made(data[0] % 8u);
        for (size_t i = 0; i < made.size(); ++i)
            for (size_t j = 0; j < 4; ++j) {
                const size_t at = 1 + i * 4 + j;
                made[i][j] = static_cast<float>(i * 4 + j) + (at < size ? data[at] / 256.0f : 0);
            }
        CheckReadsBack(made);
    }

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
    if (read.Table->Rows.size() <= 4096) CheckReadsBack(read.Table->Rows);
    return 0;
}
