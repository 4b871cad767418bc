#pragma once
// The radar console: the radar picture on the left, the control panel on the right. Its
// buttons change the plain state and ask for the drawing they need; the exercise tells it what
// the tick and a scenario start are to show.

#include "core/display/display_state.h"
#include "core/scenario/scenario_start.h"
#include "core/simulation.h"
#include "gui/radar_picture.h"

#include <QWidget>

#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
class QFrame;

namespace mv {

class Dialogs;
class Exercise;
class MarkerPanel;
class SeaStatePanel;
class TrueView;
class TrafficSelector;
class VesselPanel;
class WorldPictureWidget;

class RadarConsole : public QWidget, public ScenarioView {
    Q_OBJECT
  public:
    RadarConsole(Exercise& exercise, Dialogs& dialogs, QWidget* parent = nullptr);
    ~RadarConsole() override;

    // Range steps within the table of scales, and any range in nautical miles.
    void RangeDown();
    void RangeUp();
    void SetRange(double range) override;
    void SetNorthUp(bool northUp);
    void SetPlotFrequency(int index);
    // Calm (0), moderate (1) or heavy (2) sea: the yaw the tick applies, the picture at the foot
    // of the control panel and the panel's colour.
    void SetSeaState(int seaState);
    // The narrowest the console can be at a height (pixels) with the picture at full height
    // and every control usable.
    int UsableWidth(int height) const;
    // The full redraw around the own vessel (the frame alone while no exercise is loaded),
    // then the vessels where they are.
    void RedrawRadar() override;
    void RedrawVessels();

    // The traffic selector and the scenario windows it opens.
    TrafficSelector& traffic() const { return *traffic_; }
    WorldPicture& picture();
    WorldPictureWidget* pictureWidget() const { return picRadarCRT_; }
    MarkerPanel& markers() { return *markers_; }
    TrueView& trueView() { return *frmTrueView_; }
    // The vessel buttons and their modes, and the windows of the plotting aids.
    VesselPanel* vesselPanel() const { return pnlVessels_; }

  public slots:
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
    void cmdTrueView_Click();
    void cmdHelp_Click();
    void cmdTutorial_Click();

  protected:
    void resizeEvent(QResizeEvent* event) override;

    // What a scenario start shows.
    void EnableVesselControls() override;
    void ShowSlotMarkers(int slot, bool radarLine, bool trueViewLabel) override;
    void MarkOwnVesselInTrueView() override;
    void DrawCursor() override;
    void ClearTrueView() override;

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
    void BuildPicture();
    void BuildControls();
    void LayOut();
    // Captions, check states and the pause indicator from the exercise's state.
    void ShowExerciseState();
    void SetLabel(const QString& name, const QString& text);
    void RefreshRangeCaptions();
    QPushButton* AddButton(const char* name, const QString& caption, void (RadarConsole::*slot)());

    Exercise& exercise_;
    Simulation& sim_;
    RadarDisplayState& display_;
    Dialogs& dialogs_;

    QFrame* pnlRadar_ = nullptr;
    WorldPictureWidget* picRadarCRT_ = nullptr;
    std::unique_ptr<RadarPicture> radar_;
    QFrame* picControls_ = nullptr;
    QLabel* lblTime_ = nullptr;
    QLabel* lblPaused_ = nullptr;
    QComboBox* cboTimeFactor_ = nullptr;
    QPushButton* cmdPause_ = nullptr;
    MarkerPanel* markers_ = nullptr;
    TrueView* frmTrueView_ = nullptr;
    TrafficSelector* traffic_ = nullptr;
    VesselPanel* pnlVessels_ = nullptr;
    SeaStatePanel* pnlSeaState_ = nullptr;
};

} // namespace mv
