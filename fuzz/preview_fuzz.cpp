// Demo files of any bytes seen through the chooser: the Description button previews a file
// exactly when Run would load it, and shows the title in capitals and then the description
// that Run reads.

#include "core/scenario/demo_file.h"
#include "core/scenario/demo_list.h"
#include "fuzz/fuzz_check.h"

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

using namespace mv;
using mv::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    namespace fs = std::filesystem;
    static const fs::path dir = [] {
        const fs::path d =
            fs::temp_directory_path() / ("marovane_fuzz_preview_" + std::to_string(getpid()));
        fs::create_directories(d);
        return d;
    }();
    std::ofstream(dir / "Fuzz.dem", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    const DescriptionPreview preview = DemoDescriptionPreview(dir, "Fuzz.dem");
    const DemoReadResult run = ReadDemoFile(dir / "Fuzz.dem");
    Check(preview.ok() == run.ok(), "the preview accepts a file exactly when Run does");
    if (!run.ok()) {
        Check(preview.Error.find("Fuzz.dem") != std::string::npos, "the message names the file");
        return 0;
    }
    Check(preview.Text == ToUpperText(run.Scenario->Title) + "\r\n\r\n" + run.Scenario->Description,
          "the preview shows what Run reads");
    return 0;
}
