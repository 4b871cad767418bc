#pragma once
// A clock read-out "hh:mm:ss" as minutes of the day, to compare times with a tolerance.

#include <string>

namespace mv::test {

inline double ClockMinutes(const std::string& hhmmss) {
    return std::stoi(hhmmss.substr(0, 2)) * 60 + std::stoi(hhmmss.substr(3, 2)) +
           std::stoi(hhmmss.substr(6, 2)) / 60.0;
}

} // namespace mv::test
