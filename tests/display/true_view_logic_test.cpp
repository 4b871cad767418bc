#include "display/true_view_logic.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

TEST(TrueView, RangeStepsStopAtTheEndsOfTheTable) {
    struct Case {
        int16_t from;
        bool up;
        bool moved;
        double range;
    };
    const Case cases[] = {{7, true, true, 24},      {7, false, true, 6},     {9, true, false, 36},
                          {0, false, false, 0.125}, {1, false, true, 0.125}, {8, true, true, 36}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << (c.up ? " up" : " down"));
        RadarDisplayState s;
        s.TVRangeIndex = c.from;
        s.TVRange = static_cast<double>(kRangeScales.at(static_cast<size_t>(c.from)));
        EXPECT_EQ(c.up ? TrueViewRangeUp(s) : TrueViewRangeDown(s), c.moved);
        EXPECT_EQ(s.TVRange, c.range);
    }
}

TEST(TrueView, GridCaptionFollowsTheRange) {
    struct Case {
        double range;
        const char* caption;
    };
    const Case cases[] = {{36, "True View   Grid= 5 nm."},   {12, "True View   Grid= 2 nm."},
                          {6, "True View   Grid= 1 nm."},    {1.5, "True View   Grid= .25 nm."},
                          {0.5, "True View   Grid= .1 nm."}, {0.125, "True View   Grid= .1 nm."}};
    for (const Case& c : cases)
        EXPECT_EQ(TrueViewCaption(true, c.range), c.caption) << c.range;
    EXPECT_EQ(TrueViewCaption(false, 12), "True View");
}

// Far from the world's origin the grid still covers the whole view, from its bottom-left
// corner, with nothing on the top or right edge.
TEST(TrueView, GridCoversTheViewCentredOnTheOwnVessel) {
    struct Case {
        double range;
        size_t across; // horizontal lines
    };
    for (const Case c : {Case{12, 12}, Case{0.5, 10}, Case{1.5, 12}}) {
        SCOPED_TRACE(c.range);
        const PointD own{20.0, 20.0};
        const TrueViewWindow w = CenteredTrueViewWindow(own, c.range);
        EXPECT_EQ(w.Left, 20.0 - c.range);
        EXPECT_EQ(w.Top, 20.0 + c.range);
        EXPECT_EQ(w.Height, -w.Width);
        const auto lines = TrueViewGridLines(w, c.range);
        ASSERT_EQ(lines.size(), 2 * c.across - 1);
        const double g = static_cast<double>(TrueViewGridSpacing(c.range));
        EXPECT_EQ(lines.front().From, (PointD{20.0 - c.range, w.Left}));
        EXPECT_EQ(lines.front().To.Y, w.Left + w.Width);
        const GridLine& firstVertical = lines.at(c.across);
        EXPECT_EQ(firstVertical.From, (PointD{w.Top, w.Left + g}));
        EXPECT_EQ(firstVertical.To.X, w.Top - 2 * c.range);
    }
}

} // namespace
} // namespace mv
