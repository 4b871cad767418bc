#include "aids/cpa_data.h"

#include <gtest/gtest.h>

namespace {

using mv::BearingMode;
using mv::CpaDataTexts;

// Own vessel A on 090 at 10 kn; target B 8 nm dead astern of its beam, due south, on 000 at
// 10 kn. Relative motion (10, -10) kn: DRM 315, SRM 14.14 kn. The relative track from (-8, 0)
// passes the own vessel at its foot (-4, -4): CPA 5.66 nm on 225, 5.66 nm to run, 24 minutes.
// Ordered: B to 20 kn, A steady. Relative (20, -10): 22.36 kn on 333.4; the foot of the
// perpendicular from the own vessel lies at (-1.6, -3.2): 3.58 nm on 243, 7.16 nm to run,
// 19.2 minutes.
mv::VesselTables Crossing() {
    mv::VesselTables t;
    t.Create(2);
    t.Vessel[0] = {90, 90, 10, 10, mv::kMedium};
    t.Vessel[1] = {0, 0, 10, 20, mv::kMedium};
    t.VesselPos[1] = {-8, 0};
    return t;
}

TEST(DoCPA, CrossingTarget) {
    const auto t = Crossing();
    const CpaDataTexts present{"000", "10.0 kt.", "090", "10.0 kt.", "5.66 nm.",
                               "225", "14.1 kt.", "315", "24.0 min."};
    EXPECT_EQ(mv::DoCPA(t, 1, false, BearingMode::Course), present);
    // Relative bearings: the DRM is taken from the own course, the BCPA stays true.
    CpaDataTexts relative = present;
    relative.DRM = "225";
    EXPECT_EQ(mv::DoCPA(t, 1, false, BearingMode::Relative), relative);

    const CpaDataTexts final{"000", "20.0 kt.", "090", "10.0 kt.", "3.58 nm.",
                             "243", "22.4 kt.", "333", "19.2 min."};
    EXPECT_EQ(mv::DoCPA(t, 1, true, BearingMode::Course), final);
    EXPECT_EQ(mv::CpaDataTitle(1), "CPA data for target vessel B");
}

TEST(DoCPA, OwnVesselItself) {
    // Its own button in CPA mode: no range, no relative motion, every figure zero.
    const CpaDataTexts zero{"090", "10.0 kt.", "090", "10.0 kt.", "0.00 nm.",
                            "000", ".0 kt.",   "000", ".0 min."};
    EXPECT_EQ(mv::DoCPA(Crossing(), 0, false, BearingMode::Course), zero);
}

} // namespace
