#pragma once
// What every fuzz harness shares: a property that does not hold stops the run the way a crash
// does, with the input kept by libFuzzer (or named by the replay driver).

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace mv::fuzz {

inline void Check(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}

inline std::string_view Bytes(const unsigned char* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

} // namespace mv::fuzz
