#include "scenario/yaw_file.h"

#include <gtest/gtest.h>

#include <cmath>

namespace mv {
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::array<float, 4>>;

TEST(ParseYaw, ValuesRunColumnByColumnHoweverTheyAreSpread) {
    const Rows two = {{1, 3, 5, 7}, {2, 4, 6, 8}};
    const struct {
        const char* text;
        Rows rows;
    } cases[] = {
        {"2,1,2,3,4,5,6,7,8", two},
        {"2\r\n1, 2\r\n3, 4\r\n5, 6\r\n7, 8\r\n", two},
        {" 2 \n\n 1 ,2,\n3,4,\n\n5 , 6\n7,\"8\"", two},
        {"2\r\n1,2,3,4,5,6,7,8\r\nthe rest is notes, 1, 2, x\r\n", two},
        {"2\r1,2\r3,4\r5,6\r7,8\r", two},
        {"1\r\n-2.5, 0.25, -.5, -1e1\r\n", {{-2.5f, 0.25f, -0.5f, -10.0f}}},
        // The count rounds halves to even; none or fewer is an empty table, not an error.
        {"2.5\n1,2,3,4,5,6,7,8", two},
        {"1.5\n1,2,3,4,5,6,7,8", two},
        {"0.5", {}},
        {"-3\n1,2", {}},
    };
    for (const auto& c : cases) {
        const YawReadResult r = ParseYaw(c.text, "Yaw.txt");
        ASSERT_TRUE(r.ok()) << c.text << ": " << r.Error;
        EXPECT_EQ(r.Table->Rows, c.rows) << c.text;
    }
}

TEST(ParseYaw, BrokenFilesNameTheLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "Input past end of file (line 1 of Yaw.txt)"},
        {"2\r\n1,2\r\n3,4\r\n5,6\r\n7\r\n", "Input past end of file (line 6 of Yaw.txt)"},
        {"2\r\n1,2\r\n3,abc\r\n", "Type mismatch: \"abc\" is not a number (line 3 of Yaw.txt)"},
        {"1\r\n1,,2,3\r\n", "Type mismatch: \"\" is not a number (line 2 of Yaw.txt)"},
        {"99999\r\n", "Overflow: \"99999\" is outside -32768 to 32767 (line 1 of Yaw.txt)"},
    };
    for (auto [text, error] : cases) {
        const YawReadResult r = ParseYaw(text, "Yaw.txt");
        EXPECT_FALSE(r.ok()) << text;
        EXPECT_EQ(r.Error, error) << text;
    }
    EXPECT_EQ(ReadYawFile("/no/such/folder/Yaw.txt").Error, "File not found (Yaw.txt)");
}

TEST(ReadYawFile, ShippedTableSwingsEitherSideOfTheHeading) {
    const YawReadResult r =
        ReadYawFile(fs::path(__FILE__).parent_path().parent_path().parent_path() / "data/Yaw.txt");
    ASSERT_TRUE(r.ok()) << r.Error;
    ASSERT_GE(r.Table->YawCount(), 12);
    std::array<double, 4> sum{}, swing{};
    for (const auto& row : r.Table->Rows)
        for (size_t c = 0; c < 4; ++c) {
            sum[c] += row[c];
            swing[c] = std::max(swing[c], std::fabs(static_cast<double>(row[c])));
        }
    for (size_t c = 0; c < 4; ++c)
        EXPECT_LT(std::fabs(sum[c] / r.Table->YawCount()), 0.2) << c;
    // A heavy sea yaws a vessel more than a moderate one, and a small vessel more than a
    // medium one; no column swings wider than ten degrees.
    EXPECT_GT(swing[1], swing[0]);
    EXPECT_GT(swing[3], swing[2]);
    EXPECT_GT(swing[0], swing[2]);
    EXPECT_GT(swing[1], swing[3]);
    EXPECT_LT(swing[1], 10.0);
}

} // namespace
} // namespace mv
