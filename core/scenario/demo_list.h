#pragma once
// The demo chooser's data: the demo files of the program folder and then those the user stored
// in a folder of their own, listed by title; the file name back from a listed entry, and the
// description preview.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

inline constexpr std::string_view kNoDemosMessage = "No demos found!";
inline constexpr std::string_view kNoDemosCaption = "Loading Demos";
inline constexpr std::string_view kDemoListCaption = "LoadDemoList";
inline constexpr std::string_view kPreviewCaption = "frmScenarioList.cmdDescription";

struct DemoList {
    // "  " + title + "\t" + file name, one per readable *.dem file, in alphabetical order.
    std::vector<std::string> Entries;
    // The file each entry stands for, in the same order. The user's folder may hold a demo of
    // the same name as a shipped one: both are listed, and the path tells them apart.
    std::vector<std::filesystem::path> Paths;
    // Empty when every listed file was read. kNoDemosMessage when the folder holds no demo;
    // otherwise the reason the first unreadable file could not be listed (it names the file).
    std::string Error;
    bool NoDemos = false;
    // Why a file of the user's folder could not be listed, with its full path, since the user
    // has to find it. Only the program's own files are its data, so this one does not end it.
    std::string UserError;
};

// Lists the *.dem files of a folder (the extension in any case), sorted as a file-list
// control shows them: alphabetically, without regard to case.
DemoList LoadDemoList(const std::filesystem::path& folder);

// The demos of the program folder, then those of the user's folder sorted the same way. A user
// folder that does not exist yet (nothing stored so far) or is empty adds nothing; the list
// has no demos only when neither folder holds one.
DemoList LoadDemoList(const std::filesystem::path& folder, const std::filesystem::path& userFolder);

// The file name of a list entry: the part after the first tab, blanks and tabs removed at
// both ends. An entry without a tab gives an empty name.
std::string DemoFileNameFromEntry(std::string_view entry);

struct DescriptionPreview {
    std::string Text;  // title in capitals, a blank line, the reflowed description
    std::string Error; // why the file could not be previewed; it names the file
    bool ok() const { return Error.empty(); }
};

// What the chooser's Description button shows: the vessel lines are skipped, never shown.
DescriptionPreview DemoDescriptionPreview(const std::filesystem::path& folder,
                                          std::string_view fileName);

// Capitals of ASCII and of the accented Latin-1 letters of a UTF-8 text; other characters
// stand as they are.
std::string ToUpperText(std::string_view text);

} // namespace mv
