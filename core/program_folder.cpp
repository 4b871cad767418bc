#include "core/program_folder.h"

#include <cstdlib>
#include <system_error>

#ifndef MAROVANE_INSTALLED_DATA_FROM_BIN
#define MAROVANE_INSTALLED_DATA_FROM_BIN "../share/marovane"
#endif

namespace mv {
namespace {

// Start-up cannot go on without the yaw table, and a folder with demos but no yaw table is
// somebody's demo collection, not a program folder; so the yaw table is what marks one.
bool HoldsData(const std::filesystem::path& folder) {
    std::error_code ec;
    return std::filesystem::is_regular_file(folder / "Yaw.txt", ec);
}

} // namespace

std::filesystem::path InstalledDataFromBin() {
    return MAROVANE_INSTALLED_DATA_FROM_BIN;
}

std::filesystem::path ResolveProgramFolder(const std::filesystem::path& exeFolder) {
    if (HoldsData(exeFolder)) return exeFolder;
    const std::filesystem::path installed = (exeFolder / InstalledDataFromBin()).lexically_normal();
    if (HoldsData(installed)) return installed;
    return exeFolder;
}

std::filesystem::path UserDemoFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && *data) return std::filesystem::path(data) / "Marovane";
    const char* home = std::getenv("HOME");
    if (home && *home) return std::filesystem::path(home) / ".local/share/Marovane";
    return {};
}

} // namespace mv
