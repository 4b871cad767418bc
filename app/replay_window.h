#pragma once
// frmReplay: a recorded run played back beside the running exercise, changing nothing in it.
// The radar picture as the student saw it (range, orientation, plot marks, markers), the true
// tracks, a timeline with the events marked on it and their list, play and pause at x1 to
// x120 of the pace the run was recorded at, a step of one moment either way, and exports of
// the picture, the tracks and the events.

#include "core/aid_settings.h"
#include "core/display/display_state.h"
#include "core/record/run_record.h"
#include "core/record/run_replay.h"

#include <QTimer>
#include <QWidget>

#include <array>
#include <filesystem>
#include <memory>
#include <optional>

class QComboBox;
class QFrame;
class QLabel;
class QListWidget;
class QPushButton;
class QSlider;

namespace mv {

class Dialogs;
class MomentRenderer;
class ReplayTracks;
class WorldPicture;
class WorldPictureWidget;

// The help page of the window.
inline constexpr const char* kReplayHelpPage = "debrief.htm";

// The replay speeds, as multiples of the pace of the run (a moment every 3 seconds).
inline constexpr std::array<int, 7> kReplaySpeeds{1, 2, 5, 10, 30, 60, 120};

class ReplayWindow : public QWidget {
    Q_OBJECT
  public:
    ReplayWindow(RunRecord run, const QString& path, Dialogs& dialogs, DisplayPalette colours,
                 const std::filesystem::path& programFolder, QWidget* parent = nullptr);
    // A window for the record at `path` still being read: "Reading the record..." in its
    // status line and its controls idle until Fill gives it the run.
    ReplayWindow(const QString& path, Dialogs& dialogs, DisplayPalette colours,
                 const std::filesystem::path& programFolder, QWidget* parent = nullptr);
    ~ReplayWindow() override;

    // Shows `run` (not empty) from its first moment; a window takes one run only. The alarm
    // checkpoints are those AlarmCheckpoints::StepThrough gave for the run on the thread that
    // read it; without them they are stepped through here, holding the window a while.
    void Fill(RunRecord run, std::vector<AlarmState> alarmCheckpoints = {});
    bool isFilled() const { return !run_.Ticks.empty(); }
    const RunRecord& run() const { return run_; }
    std::size_t moment() const { return moment_; }
    // Shows the run at moment `index` (clamped to the run).
    void ShowMoment(std::size_t index);
    bool isPlaying() const { return tmrPlay_.isActive(); }
    // The radar picture of the moment shown, drawn by the moment renderer from the record.
    WorldPictureWidget* pictureWidget() const { return picRadarCRT_; }
    WorldPicture& picture();

    // The exports, to the file named; false with the reason shown when it cannot be written.
    bool ExportPicture(const QString& path);
    bool ExportTracks(const QString& path);
    bool ExportEvents(const QString& path);

  signals:
    // The run has been given and its first moment shown.
    void filled();

  public slots:
    void cmdPlay_Click();
    void cmdStepBack_Click() { ShowMoment(moment_ > 0 ? moment_ - 1 : 0); }
    void cmdStepForward_Click() { ShowMoment(moment_ + 1); }
    void cboSpeed_Change(int index);
    void lstEvents_Click(int row);
    void cmdExportPicture_Click();
    void cmdExportTracks_Click();
    void cmdExportEvents_Click();
    // The report of an assessed exercise's run, marked afresh from the exercise file found
    // beside the record or in the program's folders.
    void cmdReport_Click();
    void cmdHelp_Click();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Step();
    void DrawPicture();
    QString ExportFolder() const;
    bool Written(bool ok, const QString& path);

    RunRecord run_;
    QString path_;
    Dialogs& dialogs_;
    std::filesystem::path programFolder_;
    std::string exerciseFile_; // the assessed exercise the run was of, or empty
    DisplayPalette colours_;
    QFrame* pnlRadar_ = nullptr;
    WorldPictureWidget* picRadarCRT_ = nullptr;
    std::unique_ptr<MomentRenderer> renderer_;
    ReplayTracks* tracks_ = nullptr;
    QSlider* sldTimeline_ = nullptr;
    QListWidget* lstEvents_ = nullptr;
    QPushButton* cmdPlay_ = nullptr;
    QPushButton* cmdReport_ = nullptr;
    QComboBox* cboSpeed_ = nullptr;
    QLabel* lblTime_ = nullptr;
    QTimer tmrPlay_;
    std::size_t moment_ = 0;
    // Worked over run_ as it is filled, and declared after it.
    std::unique_ptr<AlarmCheckpoints> alarmSteps_;
    std::unique_ptr<PlotHistory> plots_;
    AlarmState alarms_; // as the student had them at alarmsMoment_
    std::optional<std::size_t> alarmsMoment_;
};

} // namespace mv
