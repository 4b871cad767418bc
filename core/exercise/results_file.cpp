#include "core/exercise/results_file.h"

#include "core/number_text.h"
#include "core/scenario/demo_file.h"
#include "core/scenario/field_reader.h"
#include "core/vessel.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>

namespace mv {

using nlohmann::json;
// Written in the order a person reads it; read back by key.
using ordered = nlohmann::ordered_json;

std::vector<ResultsAnswer> ResultsAnswers(const RunGrading& grading) {
    std::vector<ResultsAnswer> answers;
    for (const GradedAnswer& a : grading.Answers)
        answers.push_back({a.Marked.Given, a.At, ResultsMark{a.Marked.Truth, a.Marked.Right}});
    return answers;
}

std::string ResultsText(const ExerciseResults& r) {
    ordered answers = ordered::array();
    for (const ResultsAnswer& a : r.Answers) {
        ordered one{{"question", a.Given.Question + 1},
                    {"vessel", a.Given.Vessel},
                    {"figure", FigureName(a.Given.Asked)},
                    {"value", a.Given.Value},
                    {"at", a.At},
                    {"clock", FormatClock(a.At)}};
        if (a.Marked) {
            one["truth"] = a.Marked->Truth;
            one["right"] = a.Marked->Right;
        }
        // The target's letter for a reader; the slot above is what is read back.
        if (a.Given.Vessel >= 0) one["target"] = VesselLetter(a.Given.Vessel);
        answers.push_back(std::move(one));
    }
    ordered doc{{"format", kResultsFormat},
                {"version", kResultsVersion},
                {"student", r.Student},
                {"exercise", r.ExerciseFile},
                {"title", r.Title},
                {"record", r.RecordFile},
                {"started", r.Started},
                {"ended", r.Ended},
                {"answers", std::move(answers)}};
    if (r.Total) doc["total"] = {{"got", r.Total->Got}, {"out_of", r.Total->OutOf}};
    return doc.dump(2) + "\n";
}

std::string WriteResultsFile(const std::filesystem::path& path, const ExerciseResults& results) {
    return WriteFileAtomically(path, ResultsText(results));
}

ResultsReadResult ParseResults(std::string_view text, std::string_view fileName) {
    const std::string name(fileName);
    const json doc = json::parse(text, nullptr, false);
    try {
        if (doc.is_discarded() || !doc.is_object() || doc.value("format", "") != kResultsFormat)
            return {{}, name + ": not a results file"};
        const json& version = doc.at("version");
        if (!version.is_number_integer() || version.get<int64_t>() < 1)
            return {{}, name + ": not a results file"};
        if (version.get<int64_t>() > kResultsVersion)
            return {{}, name + ": written by a newer program; update this one"};
        ExerciseResults r;
        r.Student = doc.at("student").get<std::string>();
        r.ExerciseFile = doc.at("exercise").get<std::string>();
        r.Title = doc.value("title", "");
        r.RecordFile = doc.at("record").get<std::string>();
        r.Started = doc.value("started", "");
        r.Ended = doc.value("ended", "");
        const json& answers = doc.at("answers");
        if (answers.size() > kMostResultsAnswers)
            return {{},
                    name + ": more than " + std::to_string(kMostResultsAnswers) +
                        " answers, which no exercise asks"};
        for (const json& a : answers) {
            const auto figure = FigureFromName(a.at("figure").get<std::string>());
            const json& question = a.at("question");
            const json& vessel = a.at("vessel");
            if (!figure || !question.is_number_integer() || question.get<int64_t>() < 1 ||
                question.get<int64_t>() > 999 || !vessel.is_number_integer() ||
                vessel.get<int64_t>() < -1 || vessel.get<int64_t>() >= kMaxVessels)
                return {{}, name + ": an answer names no question, target or figure"};
            ResultsAnswer one{{static_cast<size_t>(question.get<int64_t>() - 1),
                               static_cast<int>(vessel.get<int64_t>()), *figure,
                               a.at("value").get<double>()},
                              a.at("at").get<double>(),
                              {}};
            if (a.contains("truth") || a.contains("right"))
                one.Marked = ResultsMark{a.at("truth").get<double>(), a.at("right").get<bool>()};
            r.Answers.push_back(std::move(one));
        }
        if (doc.contains("total")) {
            const json& got = doc["total"].at("got");
            const json& of = doc["total"].at("out_of");
            if (!got.is_number_integer() || !of.is_number_integer() || got.get<int64_t>() < 0 ||
                of.get<int64_t>() > 99999 || got.get<int64_t>() > of.get<int64_t>())
                return {{}, name + ": a total that cannot be"};
            r.Total =
                Score{static_cast<int>(got.get<int64_t>()), static_cast<int>(of.get<int64_t>())};
        }
        return {std::move(r), {}};
    } catch (const json::exception&) {
        return {{}, name + ": a results file with a field missing or of the wrong kind"};
    }
}

ResultsReadResult ReadResultsFile(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    std::string bytes;
    if (const FileCheck check = ReadRegularFile(path, kLargestResultsFile, bytes); !check.ok())
        return {{}, name + ": " + FileProblemText(check, kLargestResultsFile)};
    return ParseResults(bytes, name);
}

} // namespace mv
