#pragma once
// Where the program finds its demo files, Yaw.txt and the documents folder "Marovane Docs".
// No Qt: the caller passes the executable's folder.

#include <filesystem>

namespace mv {

// The data folder of an installed copy, relative to the executable's folder (on Debian the
// program lies in /usr/bin and its data in /usr/share/marovane).
std::filesystem::path InstalledDataFromBin();

// The program folder of an executable lying in exeFolder: exeFolder itself when the data lies
// beside it (a build tree, a portable copy unpacked anywhere), otherwise the installed data
// folder relative to it when that holds the data. When neither does, exeFolder, so that the
// message about the missing yaw table names the folder the program was started from.
std::filesystem::path ResolveProgramFolder(const std::filesystem::path& exeFolder);

// The folder the user's stored demos go to: $XDG_DATA_HOME/Marovane, or
// ~/.local/share/Marovane when that is not set; empty when neither variable is.
std::filesystem::path UserDemoFolder();

} // namespace mv
