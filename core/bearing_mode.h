#pragma once

namespace mv {

// How bearings and the relative-motion direction are given: relative to the own heading, or
// true ("COURSE").
enum class BearingMode { Relative, Course };

} // namespace mv
