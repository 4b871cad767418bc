#pragma once
// The yaw file: a row count, then 4 x count numbers, column by column, separated by commas
// or line ends.

#include "core/yaw.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace mv {

struct YawReadResult {
    std::optional<YawTable> Table;
    std::string Error; // e.g. "Input past end of file (line 3 of Yaw.txt)"
    bool ok() const { return Table.has_value(); }
};

// A count of 0 or less gives an empty table, which is no error.
YawReadResult ParseYaw(std::string_view bytes, std::string_view fileName);
YawReadResult ReadYawFile(const std::filesystem::path& path);

} // namespace mv
