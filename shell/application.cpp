#include "shell/application.h"

#include "display/radar_console.h"
#include "scenario/yaw_file.h"
#include "shell/main_window.h"
#include "ui/dialogs.h"

#include <QTimer>

namespace mv {

Application::Application(const std::filesystem::path& programFolder, Dialogs& dialogs)
    : programFolder_(programFolder), dialogs_(dialogs) {}

Application::~Application() = default;

bool Application::Start() {
    const YawReadResult yaw = ReadYawFile(programFolder_ / "Yaw.txt");
    if (!yaw.ok()) {
        dialogs_.message(QString::fromStdString(yaw.Error), "LoadYaw", Dialogs::Icon::Critical);
        return false;
    }
    sim_.Yaw = *yaw.Table;

    main_ = std::make_unique<MainWindow>();
    console_ = new RadarConsole(sim_, display_, dialogs_, main_->tmrSim(), programFolder_);
    QObject::connect(&main_->tmrSim(), &QTimer::timeout, console_, &RadarConsole::tmrSim_Timer);
    main_->addChild(console_);

    console_->StartDefaultDemo();
    display_.RangeIndex = kDefaultRangeIndex;
    console_->SetRange(kRangeScales[kDefaultRangeIndex]);
    console_->RedrawVessels();
    return true;
}

} // namespace mv
