#pragma once
// The radar console: the radar picture on the left, the control panel on the right. It shows
// what the tick asks to be shown and turns button presses into changes of the plain state.

#include "core/simulation.h"
#include "core/vessel_view.h"
#include "display/display_state.h"
#include "display/radar_picture.h"

#include <QWidget>

#include <filesystem>
#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
class QTimer;
class QFrame;

namespace mv {

class Dialogs;
class WorldPictureWidget;

class RadarConsole : public QWidget, public VesselView {
    Q_OBJECT
  public:
    RadarConsole(Simulation& sim, RadarDisplayState& display, Dialogs& dialogs, QTimer& tmrSim,
                 const std::filesystem::path& programFolder, QWidget* parent = nullptr);
    ~RadarConsole() override;

    // Reads a demo file (relative to the program folder, or a full path) and starts it. A file
    // that cannot be read is reported under "LoadDemo" and the running scenario goes on.
    bool LoadDemo(const QString& fileName);
    // LoadDemo and what the chooser does after it: 12-mile range, cursor, timer started.
    bool RunDemo(const QString& fileName);
    // The first scenario at start-up: Default.dem at x30 with plotting on.
    void StartDefaultDemo();

    void SetRange(double range);
    void RangeDown();
    void RangeUp();
    void SetTimeFactor(int index);
    void SetNorthUp(bool northUp);
    void SetPlotFrequency(int index);
    // The full redraw around the own vessel, then the vessels where they are.
    void RedrawRadar();
    void RedrawVessels();

    bool isPaused() const;
    WorldPicture& picture();
    WorldPictureWidget* pictureWidget() const { return picRadarCRT_; }
    const std::string& description() const { return description_; }

  public slots:
    void tmrSim_Timer();
    void cmdRR_Click();
    void cmdSHL_Click();
    void cmdHeading_Click();
    void cmdRangeUp_Click();
    void cmdRangeDown_Click();
    void cmdPlot_Click();
    void cmdFreq_Click();
    void cmdNav_Click();
    void cmdIdentify_Click();
    void cmdPause_Click();
    void cmdRepeat_Click();
    void cboTimeFactor_Click(int index);

  protected:
    void resizeEvent(QResizeEvent* event) override;

    // What the tick shows.
    void ShowIdentity(bool on) override;
    void ManeuverStep(int vessel, const ManeuverReadout& readout) override;
    void StatusLine(const std::string& text) override;
    void Clock(const std::string& text) override;
    void PlotClock(const std::string& text) override;
    void CentreOn(const PointD& own) override;
    void TrueViewMark(int vessel, const PointD& position) override;
    void Collision(int vessel, const std::array<std::array<PointD, 9>, 2>& mark) override;
    void ShowEcho(int vessel, const EchoLine& echo) override;
    void HideEcho(int vessel) override;
    void PlotMark(int vessel, const EchoLine& echo) override;
    void OwnLabel(int vessel, const PointD& position) override;
    void HeadingLine(const PointD& from, const PointD& to) override;
    void CardinalLabels(const std::array<std::string, 4>& captions) override;
    void BearingFailed() override;

  private:
    void BuildControls();
    void LayOut();
    void SetLabel(const char* name, const QString& text);
    void RefreshRangeCaptions();
    void ResetClocks();
    const PointD& OwnPos() const;
    QPushButton* AddButton(const char* name, const QString& caption, void (RadarConsole::*slot)());

    Simulation& sim_;
    RadarDisplayState& display_;
    Dialogs& dialogs_;
    QTimer& tmrSim_;
    std::filesystem::path programFolder_;
    std::string description_;
    bool loading_ = false;
    bool reportingCollision_ = false;

    QFrame* pnlRadar_ = nullptr;
    WorldPictureWidget* picRadarCRT_ = nullptr;
    std::unique_ptr<RadarPicture> radar_;
    QFrame* picControls_ = nullptr;
    QLabel* lblTime_ = nullptr;
    QLabel* lblPaused_ = nullptr;
    QComboBox* cboTimeFactor_ = nullptr;
    QPushButton* cmdPause_ = nullptr;
};

} // namespace mv
