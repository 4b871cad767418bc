// The CPA arithmetic with arbitrary floats (NaN, infinities, subnormals, 1e38 knots): the
// speed triangle never answers NaN or infinity, and what it answers for plausible figures is
// the CPA and TCPA of relative motion worked out here independently; two sightings give
// finite figures or a reason. The CPA computer's window path is driven with the same values as
// typed texts.

#include "core/aids/cpa.h"
#include "core/aids/cpa_computer.h"
#include "core/number_text.h"
#include "fuzz/fuzz_check.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstring>

using namespace mv;
using mv::fuzz::Check;

namespace {

// Values taken from the front of the input, zero once it runs out.
class Values {
  public:
    Values(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    template <typename T> T Next() {
        T v{};
        const size_t n = std::min(sizeof v, size_ - pos_);
        std::memcpy(&v, data_ + pos_, n);
        pos_ += n;
        return v;
    }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

bool Finite(const CpaResult& r) {
    return std::isfinite(r.CPA) && std::isfinite(r.BCPA) && std::isfinite(r.SRM) &&
           std::isfinite(r.DRM) && std::isfinite(r.TCPA);
}

bool InCircle(float degrees) {
    return degrees >= 0.0f && degrees < 360.0f;
}

// Digits, not "nan" or "inf", in any case.
bool Shown(std::string text) {
    for (char& ch : text)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return text.find("nan") == std::string::npos && text.find("inf") == std::string::npos;
}

// The closed form of relative motion, x east and y north, in double: the target at r from the
// own vessel moves at v relative to it; CPA = |r x v| / |v| nautical miles, TCPA =
// -(r . v) / |v|^2 hours.
struct ClosedForm {
    double CPA, TCPA, SRM;
};
ClosedForm Solve(const CpaInput& c) {
    constexpr double kRad = 3.14159265358979323846 / 180.0;
    const double rx = c.Range * std::sin(c.Bearing * kRad),
                 ry = c.Range * std::cos(c.Bearing * kRad);
    const double vx =
        c.TargetSpeed * std::sin(c.TargetCourse * kRad) - c.OwnSpeed * std::sin(c.OwnCourse * kRad);
    const double vy =
        c.TargetSpeed * std::cos(c.TargetCourse * kRad) - c.OwnSpeed * std::cos(c.OwnCourse * kRad);
    const double v2 = vx * vx + vy * vy;
    return {std::fabs(rx * vy - ry * vx) / std::sqrt(v2), -(rx * vx + ry * vy) / v2 * 60.0 + c.T0,
            std::sqrt(v2)};
}

// Figures a plot can hold, where the single-precision arithmetic of the aids is to agree with
// the closed form: speeds 0 to 1000 knots with at least half a knot of relative motion, range
// up to 1000 nautical miles, directions within two turns, a time base within a year.
bool Plausible(const CpaInput& c, const ClosedForm& f) {
    auto within = [](float v, float lo, float hi) { return v >= lo && v <= hi; };
    return within(c.TargetSpeed, 0, 1000) && within(c.OwnSpeed, 0, 1000) &&
           within(c.Range, 0, 1000) && within(c.TargetCourse, -720, 720) &&
           within(c.OwnCourse, -720, 720) && within(c.Bearing, -720, 720) &&
           std::fabs(c.T0) <= 525960.0 && f.SRM >= 0.5;
}

// Plausible figures from two bytes each, so the fuzzer reaches them often.
CpaInput PlausibleInput(Values& in) {
    auto scaled = [&in](float high) { return in.Next<uint16_t>() * (high / 65535.0f); };
    CpaInput c;
    c.TargetCourse = scaled(360);
    c.TargetSpeed = scaled(40);
    c.OwnCourse = scaled(360);
    c.OwnSpeed = scaled(40);
    c.Bearing = scaled(360);
    c.Range = scaled(30);
    c.T0 = scaled(600);
    return c;
}

// The aids work the speed triangle in single precision with a degrees-to-radians factor of 8
// digits; near a degenerate triangle the angle recovered from its cosine is good to about half a
// degree. Hence, as a navigator plots: the DRM within 0.6 degrees, so the CPA within a hundredth
// of the range (plus 0.01 nm) and the TCPA within the time to run a hundredth of the range at
// the relative speed (plus 0.1 min); the SRM within a ten-thousandth of the sum of the speeds.
// A sign error, a swapped course or a clamped infinity is far outside.
void CheckAgainstClosedForm(const CpaInput& c, BearingMode mode) {
    const CpaResult r = ComputeCPA(c, mode);
    const ClosedForm f = Solve(c);
    if (!Plausible(c, f)) return;
    Check(r.Computed, "plausible figures are computed");
    Check(std::fabs(r.SRM - f.SRM) <= 1e-4 * (c.TargetSpeed + c.OwnSpeed) + 1e-4,
          "SRM is the relative speed");
    Check(std::fabs(r.CPA - f.CPA) <= 1e-2 * c.Range + 1e-2, "CPA as the closed form");
    Check(std::fabs(r.TCPA - f.TCPA) <= 60.0 * 1e-2 * c.Range / f.SRM + 0.1,
          "TCPA as the closed form");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Values in(data, size);

    CpaInput c;
    c.TargetCourse = in.Next<float>();
    c.TargetSpeed = in.Next<float>();
    c.OwnCourse = in.Next<float>();
    c.OwnSpeed = in.Next<float>();
    c.Bearing = in.Next<float>();
    c.Range = in.Next<float>();
    c.T0 = in.Next<double>();
    const auto mode = (in.Next<uint8_t>() & 1) ? BearingMode::Course : BearingMode::Relative;
    const CpaResult r = ComputeCPA(c, mode);
    Check(Finite(r), "the speed triangle answers numbers");
    CheckAgainstClosedForm(c, mode);
    // A range is never negative on the display; given one, the CPA of a target that does not
    // move relative to the own vessel is that range as it stands.
    Check(r.SRM >= 0 && (c.Range < 0 || r.CPA >= 0), "a CPA and a speed are not negative");

    const float ownHeading = in.Next<float>(), ownSpeed = in.Next<float>();
    Sighting first, second;
    first.Time = in.Next<double>();
    first.Bearing = in.Next<double>();
    first.Range = in.Next<double>();
    second.Time = in.Next<double>();
    second.Bearing = in.Next<double>();
    second.Range = in.Next<double>();
    const SightingsOutcome s = ComputeFromSightings(ownHeading, ownSpeed, first, second);
    Check(s.ok() == s.Error.empty(), "figures or a reason, never both or neither");
    if (s.ok()) {
        const SightingsResult& f = *s.Result;
        Check(std::isfinite(f.TargetSpeed) && std::isfinite(f.CPA) && std::isfinite(f.SRM) &&
                  std::isfinite(f.TimeOfCPA),
              "sightings answer numbers");
        Check(InCircle(f.TargetCourse) && InCircle(f.BCPA) && InCircle(f.DRM),
              "directions lie in 0 to 360");
    }

    // The window path: the same values as the texts a navigator might have typed.
    SightingRows rows;
    for (size_t i = 0; i < 2; ++i) {
        const Sighting& sg = i == 0 ? first : second;
        rows[i].Bearing = PlainNumberText(sg.Bearing);
        rows[i].Range = PlainNumberText(sg.Range);
        const double t = std::isfinite(sg.Time) ? std::fabs(std::fmod(sg.Time, 1.0)) : 0.0;
        const std::string clock = FormatClock(t);
        rows[i].Hour = clock.substr(0, 2);
        rows[i].Minute = clock.substr(3, 2);
        rows[i].Second = clock.substr(6, 2);
    }
    CheckAgainstClosedForm(PlausibleInput(in), mode);

    if (ValidateSightings(rows)) {
        const CpaComputerOutcome out = ComputeCpaComputer(rows, ownHeading, ownSpeed);
        Check(out.ok() == out.Error.empty(), "texts or a reason");
        if (out.ok()) {
            for (const std::string* t :
                 {&out.Texts->Course, &out.Texts->Speed, &out.Texts->CPA, &out.Texts->BCPA,
                  &out.Texts->TCPA, &out.Texts->SRM, &out.Texts->DRM})
                Check(Shown(*t), "no nan or inf shown");
        }
    }
    return 0;
}
