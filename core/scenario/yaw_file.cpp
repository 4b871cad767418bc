#include "core/scenario/yaw_file.h"

#include "core/scenario/field_reader.h"

namespace mv {
namespace {

constexpr auto FailedYaw = FailedRead<YawReadResult>;

} // namespace

YawReadResult ParseYaw(std::string_view bytes, std::string_view fileName) {
    const std::string text = DecodeFileText(bytes);
    FieldReader in(text, fileName);

    int16_t count = 0;
    if (!in.NextInt16(count)) return FailedYaw(in.Error());

    YawTable table;
    // No rows means no yaw at all; the tick has nothing to step through.
    if (count > 0) {
        table.Rows.assign(static_cast<size_t>(count), {});
        // Column by column: every row of the small-vessel moderate-sea column first.
        for (size_t column = 0; column < 4; ++column) {
            for (auto& row : table.Rows) {
                if (!in.NextFloat(row[column])) return FailedYaw(in.Error());
            }
        }
    }
    YawReadResult result;
    result.Table = std::move(table);
    return result;
}

YawReadResult ReadYawFile(const std::filesystem::path& path) {
    return ReadAndParse(path, ParseYaw);
}

} // namespace mv
