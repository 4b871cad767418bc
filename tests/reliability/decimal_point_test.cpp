// Under a locale that writes a decimal comma (the toolkit adopts the user's locale at
// start-up), numbers in files and fields still read and show with a decimal point.

#include "core/number_text.h"
#include "core/scenario/demo_file.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

class CommaLocale : public testing::Test {
  protected:
    void SetUp() override {
        // Built for the test, so no machine needs the locale installed.
        const auto dir = std::filesystem::temp_directory_path() / "marovane_locales";
        std::filesystem::create_directories(dir);
        const std::string command =
            "localedef -i de_DE -f UTF-8 '" + (dir / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0 && !std::filesystem::exists(dir / "de_DE.UTF-8"))
            GTEST_SKIP() << "localedef or the de_DE source is missing";
        setenv("LOCPATH", dir.c_str(), 1);
        if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE not loadable";
        char buf[16];
        std::snprintf(buf, sizeof buf, "%.1f", 12.5);
        ASSERT_STREQ(buf, "12,5"); // the locale bites
    }
    void TearDown() override { std::setlocale(LC_NUMERIC, "C"); }
};

TEST_F(CommaLocale, NumbersKeepTheirDecimalPoint) {
    EXPECT_EQ(mv::ParseNumber("12.5"), 12.5);
    EXPECT_EQ(mv::NumberText(12.5f) + "|" + mv::FormatNumber(12.25, "##.0"), " 12.5|12.3");

    const auto read =
        mv::ParseDemo("T\r\n 2 \r\nMEDIUM, 090, 12.5\r\nSMALL, 0, 1.5, 45.5, 6.25\r\n", "T.dem");
    ASSERT_TRUE(read.ok()) << read.Error;
    EXPECT_EQ(read.Scenario->Vessels[1].Range, 6.25);
}

} // namespace
