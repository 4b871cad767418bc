// The TOML parser, compiled once for the library: the files that read TOML (exercise files,
// the class's messages, one sea) see only its declarations (TOML_HEADER_ONLY=0, set for the
// library in core/CMakeLists.txt), which spares each of them a copy of the whole parser.
#define TOML_IMPLEMENTATION
#include <toml++/toml.h>
