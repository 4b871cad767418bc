#include "core/scenario/own_targets.h"

#include "core/geometry.h"
#include "core/number_text.h"
#include "core/scenario/field_reader.h"

#include <algorithm>
#include <cmath>

namespace mv {
namespace {

const char* FieldName(OwnTargetField f) {
    switch (f) {
    case OwnTargetField::Heading:
        return "heading";
    case OwnTargetField::Speed:
        return "speed";
    case OwnTargetField::Range:
        return "range";
    case OwnTargetField::Bearing:
        return "bearing";
    }
    return "";
}

const std::string& FieldText(const OwnTargetRow& row, OwnTargetField f) {
    switch (f) {
    case OwnTargetField::Heading:
        return row.Heading;
    case OwnTargetField::Speed:
        return row.Speed;
    case OwnTargetField::Range:
        return row.Range;
    case OwnTargetField::Bearing:
        break;
    }
    return row.Bearing;
}

// A field converted as a whole, with a message that names the vessel and the field.
class FieldConverter {
  public:
    explicit FieldConverter(const OwnTargetFields& fields) : fields_(fields) {}

    bool Number(int row, OwnTargetField f, double& value) {
        const std::string& text = FieldText(fields_.Rows[static_cast<size_t>(row)], f);
        const auto parsed = ParseNumber(text);
        if (!parsed)
            return Fail(row, f, "Type mismatch: " + QuotedField(text) + " is not a number");
        // Beyond this the plotting arithmetic overflows and every CPA would read as a collision.
        if (std::fabs(*parsed) > kLargestFigure)
            return Fail(row, f,
                        "Overflow: " + QuotedField(text) + " is over 1e15, too large to plot");
        value = *parsed;
        return true;
    }
    bool Whole(int row, OwnTargetField f, double& value, int16_t& whole) {
        if (!Number(row, f, value)) return false;
        const auto rounded = ToInt16(value);
        if (!rounded) {
            const std::string& text = FieldText(fields_.Rows[static_cast<size_t>(row)], f);
            return Fail(row, f, "Overflow: " + QuotedField(text) + " is outside -32768 to 32767");
        }
        whole = *rounded;
        return true;
    }
    const std::string& Error() const { return error_; }

  private:
    bool Fail(int row, OwnTargetField f, const std::string& what) {
        error_ = what + " (" + FieldName(f) + " of vessel " + VesselLetter(row) + ")";
        return false;
    }
    const OwnTargetFields& fields_;
    std::string error_;
};

} // namespace

TargetCountCheck CheckTargetCount(std::string_view text) {
    TargetCountCheck check;
    const auto value = ParseNumber(text);
    if (!value || !std::isfinite(*value)) {
        check.Message = "Must enter a number!";
        return check;
    }
    if (*value > 5) {
        check.Message = "May not have more than five targets";
        check.NewText = "1";
        check.Rows = 1;
        return check;
    }
    const auto n = RoundToInt16(*value);
    // Digits only reach the field, so below one means 0 (or a pasted fraction that would
    // round to no target at all).
    if (n < 1) {
        check.Message = "Must have at least one target.";
        check.NewText = "1";
        check.Rows = 1;
        return check;
    }
    check.Rows = n;
    return check;
}

std::optional<FieldFailure> ValidateOwnTargets(const OwnTargetFields& fields, int rowCount) {
    struct Rule {
        OwnTargetField Field;
        bool TargetsOnly;
        double Low;
        bool LowIncluded;
        double High;
        bool HighIncluded;
        const char* Message;
    };
    static constexpr Rule kRules[] = {
        {OwnTargetField::Heading, false, 0, true, 360, false, "Invalid heading"},
        {OwnTargetField::Speed, false, 0, true, 100, false, "Invalid speed"},
        {OwnTargetField::Range, true, 0, false, 250, true, "Invalid range"},
        {OwnTargetField::Bearing, true, 0, true, 360, false, "Invalid bearing"},
    };
    const int last = std::min(rowCount, kMaxVessels - 1);
    for (int i = 0; i <= last; ++i) {
        for (const Rule& rule : kRules) {
            if (rule.TargetsOnly && i == 0) continue;
            // The whole text, however it got into the field: "5x" is no speed.
            const auto parsed =
                ParseNumber(FieldText(fields.Rows[static_cast<size_t>(i)], rule.Field));
            if (!parsed) return FieldFailure{i, rule.Field, rule.Message};
            const double v = *parsed;
            const bool aboveLow = rule.LowIncluded ? v >= rule.Low : v > rule.Low;
            const bool belowHigh = rule.HighIncluded ? v <= rule.High : v < rule.High;
            if (!aboveLow || !belowHigh) return FieldFailure{i, rule.Field, rule.Message};
        }
    }
    return std::nullopt;
}

OwnTargetsBuild LoadOwnTargets(const OwnTargetFields& fields) {
    OwnTargetsBuild build;
    const auto count = ParseNumber(fields.Targets);
    if (!count) {
        build.Error =
            "Type mismatch: " + QuotedField(fields.Targets) + " is not a number of targets";
        return build;
    }
    const auto targets = ToInt16(*count);
    if (!targets || *targets < 1 || *targets > kMaxVessels - 1) {
        build.Error = "Subscript out of range: " + CutForMessage(fields.Targets) +
                      " targets (1 to 5 allowed)";
        return build;
    }

    VesselTables tables;
    tables.Create(static_cast<int16_t>(*targets + 1));
    FieldConverter in(fields);
    double heading = 0, speed = 0, bearing = 0, range = 0;
    int16_t whole = 0;

    // The own vessel keeps a fractional heading as typed and orders the whole degree nearest
    // to it, 359.5 and more being 000 (north); it stays at the origin.
    VesselData& own = tables.Vessel[0];
    own.Size = SizeFromType(fields.Rows[0].Type);
    if (!in.Whole(0, OwnTargetField::Heading, heading, whole) ||
        !in.Number(0, OwnTargetField::Speed, speed)) {
        build.Error = in.Error();
        return build;
    }
    own.Heading = static_cast<float>(heading);
    own.NewHeading = FoldDegrees16(whole);
    own.Speed = own.NewSpeed = static_cast<float>(speed);

    for (int16_t i = 1; i < tables.NumVessels; ++i) {
        const auto k = static_cast<size_t>(i);
        VesselData& v = tables.Vessel[k];
        v.Size = SizeFromType(fields.Rows[k].Type);
        if (!in.Number(i, OwnTargetField::Bearing, bearing) ||
            !in.Number(i, OwnTargetField::Range, range) ||
            !in.Whole(i, OwnTargetField::Heading, heading, whole) ||
            !in.Number(i, OwnTargetField::Speed, speed)) {
            build.Error = in.Error();
            return build;
        }
        PolarOffset(tables.VesselPos[0], tables.VesselPos[k], static_cast<float>(bearing), range);
        v.NewHeading = FoldDegrees16(whole);
        v.Heading = static_cast<float>(whole);
        v.Speed = v.NewSpeed = static_cast<float>(speed);
    }
    build.Tables = std::move(tables);
    return build;
}

OwnTargetFields OpeningFields(const VesselTables& inForce, OwnTargetFields current) {
    current.Targets = NumberText(static_cast<double>(inForce.NumVessels - 1));
    const size_t n =
        std::min({static_cast<size_t>(std::max<int>(inForce.NumVessels, 0)), inForce.Vessel.size(),
                  inForce.StartVessel.size(), inForce.StartPos.size(), current.Rows.size()});
    for (size_t i = 0; i < n; ++i) {
        OwnTargetRow& row = current.Rows[i];
        if (const int16_t type = TypeFromSize(inForce.Vessel[i].Size); type >= 0) row.Type = type;
        row.Heading = PlainNumberText(inForce.StartVessel[i].Heading);
        row.Speed = PlainNumberText(inForce.StartVessel[i].Speed);
        if (i == 0) continue;
        float bearing = 0;
        double range = 0;
        GetVector(inForce.StartPos[0], inForce.StartPos[i], bearing, range);
        row.Range = FormatNumber(range, "###.0");
        row.Bearing = DirectionText(bearing);
    }
    return current;
}

DemoRecord OwnTargetsDemoRecord(const OwnTargetFields& fields, const VesselTables& inForce,
                                std::string title, std::string description) {
    DemoRecord record;
    record.Title = std::move(title);
    record.Description = std::move(description);
    const size_t n = std::min({static_cast<size_t>(std::max<int>(inForce.NumVessels, 0)),
                               inForce.Vessel.size(), fields.Rows.size()});
    for (size_t i = 0; i < n; ++i) {
        const OwnTargetRow& row = fields.Rows[i];
        DemoRecordLine line;
        line.Size = inForce.Vessel[i].Size;
        line.Heading = row.Heading;
        line.Speed = row.Speed;
        if (i > 0) {
            line.Bearing = row.Bearing;
            line.Range = row.Range;
        }
        record.Lines.push_back(std::move(line));
    }
    return record;
}

} // namespace mv
