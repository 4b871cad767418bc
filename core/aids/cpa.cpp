#include "core/aids/cpa.h"

#include <algorithm>
#include <cmath>

namespace mv {

namespace {

// Degrees to radians as the plotting aids have always held it: a single-precision value, so
// the figures match those the trainees check against on their plotting sheets.
constexpr float kDeg = 0.017453292f;

constexpr float kStoppedShare = 0.005f;

// Into [0, 360). A hair below zero plus 360 rounds to 360 itself in single precision, which
// is north and is shown as 000.
float FoldOnce(float degrees) {
    if (degrees >= 360.0f) degrees -= 360.0f;
    if (degrees < 0.0f) degrees += 360.0f;
    return degrees >= 360.0f ? 0.0f : degrees;
}

// Into [0, 360) from any number of turns.
float FoldTurns(float degrees) {
    return FoldOnce(std::fmod(degrees, 360.0f));
}

bool AllFinite(const CpaInput& in) {
    return std::isfinite(in.TargetCourse) && std::isfinite(in.TargetSpeed) &&
           std::isfinite(in.OwnCourse) && std::isfinite(in.OwnSpeed) && std::isfinite(in.Bearing) &&
           std::isfinite(in.Range) && std::isfinite(in.T0);
}

} // namespace

// The cosine of a degenerate triangle can land a hair outside [-1, 1] through rounding; it is
// taken as the end value, so equal courses give 0 and opposite courses 180 degrees.
double TriangleAngle(double x) {
    if (!(x < 1.0)) return 0.0; // also catches a NaN
    if (x <= -1.0) return 3.1415927;
    return 3.14159265359 - (std::atan(x / std::sqrt(1.0 - x * x)) + 1.5708);
}

CpaResult ComputeCPA(const CpaInput& in, BearingMode mode) {
    CpaResult none;
    none.Computed = false;
    if (!AllFinite(in)) return none;
    CpaResult out;

    // A heading read from a file is not folded (490 is 130); the angle between the courses
    // below takes them within one turn.
    const float ct = FoldTurns(in.TargetCourse), st = in.TargetSpeed;
    const float co = FoldTurns(in.OwnCourse), so = in.OwnSpeed;
    const float b = FoldTurns(in.Bearing), r = in.Range;

    // The angle between the two courses, 0..180 degrees.
    float d = std::fabs(ct - co);
    if (d > 180.0f) d = 360.0f - d;

    const double sq =
        double(st) * st + double(so) * so - 2.0 * double(so) * st * std::cos(double(d * kDeg));
    out.SRM = static_cast<float>(std::sqrt(std::max(0.0, sq)));

    if (out.SRM != 0.0f) {
        float drm;
        // An own speed under half a percent of the relative speed is taken as stopped: the
        // triangle's angle then comes from a cosine that rounding in single precision leaves
        // anywhere (an own speed of 1e-7 knots turned the DRM by 90 degrees), while taking the
        // target's course as the DRM is out by under 0.3 degrees.
        if (so > kStoppedShare * out.SRM) {
            // Speed triangle: own vector reversed, target vector, relative-motion vector.
            const float x =
                static_cast<float>((double(so) * so - double(st) * st + double(out.SRM) * out.SRM) /
                                   (2.0 * double(so) * out.SRM));
            const double alpha = TriangleAngle(x);
            const double beta = 180.0 - d - alpha / kDeg; // angle at the tip of the target vector
            drm = std::sin(double((ct - co) * kDeg)) > 0 ? static_cast<float>(ct + beta)
                                                         : static_cast<float>(ct - beta);
            drm = FoldOnce(drm);
        } else {
            drm = ct; // a stopped own vessel sees the target's own motion
        }

        const float theta = drm - (b + 180.0f);
        out.CPA = static_cast<float>(std::fabs(r * std::sin(double(theta * kDeg))));
        out.TCPA = r * std::cos(double(theta * kDeg)) / out.SRM * 60.0 + in.T0;

        // The CPA lies 90 degrees off the relative-motion line, on the side of the target.
        float reciprocal = b + 180.0f;
        if (reciprocal >= 360.0f) reciprocal -= 360.0f;
        out.BCPA = std::sin(double((drm - reciprocal) * kDeg)) > 0 ? drm + 90.0f : drm - 90.0f;

        if (mode != BearingMode::Course) drm = FoldOnce(drm - co);
        out.BCPA = FoldOnce(out.BCPA);
        out.DRM = drm;
    }

    // No relative motion worth the name (under a thousandth of a knot): the target keeps its
    // present range and bearing, which are then its CPA.
    if (out.SRM < 0.001f) {
        out.CPA = r;
        out.BCPA = b;
        out.TCPA = in.T0;
        out.DRM = 0.0f;
    }
    // Courses of the order of 1e38 degrees (no file or field can give them) overflow single
    // precision on the way: no figures rather than NaN.
    if (!(std::isfinite(out.CPA) && std::isfinite(out.BCPA) && std::isfinite(out.SRM) &&
          std::isfinite(out.DRM) && std::isfinite(out.TCPA)))
        return none;
    return out;
}

} // namespace mv
