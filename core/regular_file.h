#pragma once
// Taking a file in without trusting it: a FIFO, a device or a folder named like a data file is
// refused saying what it is, never waited on or read without end. Every reader of the program
// and of marovane-plot (demos, the yaw table, exercises, results, run records) goes through here.

#include <cstdint>
#include <filesystem>
#include <string>

namespace mv {

// Why a file was not read: what it is, said to the person who named it.
enum class FileProblem { None, Missing, Folder, NotRegular, TooLarge, Unreadable };
struct FileCheck {
    FileProblem Problem = FileProblem::None;
    int Errno = 0; // the system's reason, for Unreadable
    bool ok() const { return Problem == FileProblem::None; }
};

// The one way every reader of the program and of marovane-plot takes a file in: opened without
// waiting (a FIFO would hold the program until someone writes to it), then only a regular file
// of at most `limit` bytes is read whole (a device such as /dev/zero never ends). What was
// opened is looked at, not what the name pointed to a moment before.
FileCheck ReadRegularFile(const std::filesystem::path& path, std::uintmax_t limit,
                          std::string& bytes);
// The same checks without reading: for a file handed to a library that opens it itself.
// `head` receives up to head.size() of its first bytes (fewer for a shorter file).
FileCheck CheckRegularFile(const std::filesystem::path& path, std::uintmax_t limit,
                           std::string& head);
// "is a folder", "is not a regular file", "is larger than 1 MB", "cannot be found",
// "cannot be read: Permission denied": what follows the file's name in a message.
std::string FileProblemText(const FileCheck& check, std::uintmax_t limit);

} // namespace mv
