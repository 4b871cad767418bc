#pragma once
// The figures an assessed exercise asks for, as the exercise file, the run record and the
// results name them.

#include <cstdint>
#include <optional>
#include <string_view>

namespace mv {

// Set and drift belong to the current, not to a target.
enum class Figure : int16_t { Cpa, Tcpa, Course, Speed, Aspect, Set, Drift };
// "cpa", "tcpa", "course", "speed", "aspect", "set", "drift".
std::string_view FigureName(Figure f);
std::optional<Figure> FigureFromName(std::string_view name);
bool IsTargetFigure(Figure f);

} // namespace mv
