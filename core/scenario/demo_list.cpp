#include "core/scenario/demo_list.h"

#include "core/scenario/demo_file.h"
#include "core/scenario/field_reader.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace mv {
namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool IsDemoFile(const std::filesystem::directory_entry& entry) {
    std::error_code ec;
    if (!entry.is_regular_file(ec)) return false;
    return Lower(entry.path().extension().string()) == ".dem";
}

// The first line of a demo file, or the reason it cannot be read.
std::string ReadTitle(const std::filesystem::path& path, std::string& title) {
    std::string bytes;
    if (std::string error = ReadWholeFile(path, bytes); !error.empty()) return error;
    const std::string text = DecodeFileText(bytes);
    FieldReader in(text, path.filename().string());
    std::string_view line;
    if (!in.NextLine(line)) return in.Error();
    title = line;
    return {};
}

} // namespace

namespace {

// The *.dem files of a folder in list order, or the platform's reason the folder cannot be
// read.
std::string ListDemoFiles(const std::filesystem::path& folder, std::vector<std::string>& names) {
    namespace fs = std::filesystem;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (IsDemoFile(*it)) names.push_back(it->path().filename().string());
    }
    if (ec) return ec.message();
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string la = Lower(a), lb = Lower(b);
        return la != lb ? la < lb : a < b;
    });
    return {};
}

// Appends the entries of the named files; returns the first reason a file was left out.
std::string AppendEntries(DemoList& list, const std::filesystem::path& folder,
                          const std::vector<std::string>& names) {
    std::string firstError;
    for (const std::string& name : names) {
        std::string title;
        if (std::string error = ReadTitle(folder / name, title); !error.empty()) {
            if (firstError.empty()) firstError = error;
            continue;
        }
        list.Entries.push_back("  " + title + "\t" + name);
        list.Paths.push_back(folder / name);
    }
    return firstError;
}

} // namespace

DemoList LoadDemoList(const std::filesystem::path& folder) {
    DemoList list;
    std::vector<std::string> names;
    if (std::string error = ListDemoFiles(folder, names); !error.empty()) {
        list.Error = error + " (" + folder.filename().string() + ")";
        return list;
    }
    if (names.empty()) {
        list.NoDemos = true;
        list.Error = kNoDemosMessage;
        return list;
    }
    list.Error = AppendEntries(list, folder, names);
    return list;
}

DemoList LoadDemoList(const std::filesystem::path& folder,
                      const std::filesystem::path& userFolder) {
    DemoList list = LoadDemoList(folder);
    std::error_code ec;
    if (userFolder.empty() || !std::filesystem::is_directory(userFolder, ec)) return list;
    // A copy of the program kept in the user's own data folder: its demos are listed once.
    if (std::filesystem::equivalent(folder, userFolder, ec)) return list;
    std::vector<std::string> names;
    if (std::string error = ListDemoFiles(userFolder, names); !error.empty()) {
        list.UserError = error + " (" + userFolder.string() + ")";
        return list;
    }
    if (names.empty()) return list;
    if (list.NoDemos) {
        list.NoDemos = false;
        list.Error.clear();
    }
    if (std::string error = AppendEntries(list, userFolder, names); !error.empty())
        list.UserError = error + " in " + userFolder.string();
    return list;
}

std::string DemoFileNameFromEntry(std::string_view entry) {
    const size_t tab = entry.find('\t');
    if (tab == std::string_view::npos) return {};
    return std::string(TrimBlanks(entry.substr(tab + 1)));
}

std::string ToUpperText(std::string_view text) {
    std::string out(text);
    for (size_t i = 0; i < out.size(); ++i) {
        auto c = static_cast<unsigned char>(out[i]);
        if (c >= 'a' && c <= 'z') {
            out[i] = static_cast<char>(c - 'a' + 'A');
        } else if (c == 0xC3 && i + 1 < out.size()) {
            // U+00E0..U+00FE are the small accented letters of Latin-1 (but U+00F7, the
            // division sign); their capitals lie 0x20 lower.
            auto d = static_cast<unsigned char>(out[i + 1]);
            if (d >= 0xA0 && d <= 0xBE && d != 0xB7) out[i + 1] = static_cast<char>(d - 0x20);
            ++i;
        }
    }
    return out;
}

DescriptionPreview DemoDescriptionPreview(const std::filesystem::path& folder,
                                          std::string_view fileName) {
    // Read exactly as Run reads it, so the preview never shows a file that Run then refuses.
    DescriptionPreview preview;
    const DemoReadResult read = ReadDemoFile(folder / std::string(fileName));
    if (!read.ok()) {
        preview.Error = read.Error;
        return preview;
    }
    preview.Text = ToUpperText(read.Scenario->Title) + "\r\n\r\n" + read.Scenario->Description;
    return preview;
}

} // namespace mv
