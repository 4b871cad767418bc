#pragma once
// Yaw offsets in degrees, one row per tick, four columns: small vessel in a moderate sea,
// small in a heavy sea, medium in a moderate sea, medium in a heavy sea.

#include <array>
#include <cstdint>
#include <vector>

namespace mv {

struct YawTable {
    std::vector<std::array<float, 4>> Rows;
    int16_t YawCount() const { return static_cast<int16_t>(Rows.size()); }
};

} // namespace mv
