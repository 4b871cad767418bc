#pragma once
// An exercise's text read as TOML by the class's code, for the seat's copy and one sea alike.

#include <toml++/toml.h>

#include <string>
#include <string_view>

namespace mv {

// False with the parser's description in `error` when the text is not TOML.
inline bool ReadTomlText(std::string_view text, toml::table& table, std::string& error) {
    try {
        table = toml::parse(text);
    } catch (const toml::parse_error& e) {
        error = std::string(e.description());
        return false;
    }
    return true;
}

} // namespace mv
