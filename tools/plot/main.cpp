#include "core/program_folder.h"
#include "tools/plot/plot_tool.h"

#ifdef MAROVANE_PLOT_PDF
#include "tools/plot/report_pdf.h"

#include <QApplication>
#endif

#include <filesystem>
#include <iostream>
#include <memory>
#include <system_error>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    // The demo folders the simulator lists: its program folder, found from where this
    // executable lies (it is installed beside the simulator), then the user's own.
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec && argc > 0) exe = std::filesystem::absolute(argv[0], ec);
    std::vector<std::filesystem::path> folders{mv::ResolveProgramFolder(exe.parent_path())};
    if (auto user = mv::UserDemoFolder(); !user.empty()) folders.push_back(std::move(user));
#ifdef MAROVANE_PLOT_PDF
    // Made only when a report is written, and gone before the program ends.
    std::unique_ptr<QApplication> app;
    return mv::RunPlotTool(args, std::cout, std::cerr, folders, mv::ReportPdfWriterWith(app));
#else
    return mv::RunPlotTool(args, std::cout, std::cerr, folders);
#endif
}
