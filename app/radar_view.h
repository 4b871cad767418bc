#pragma once
// pnlRadar: the radar picture in its dark frame. It shows what the tick, a scenario start and
// the display commands ask for: the face, echoes and trails, captions, the heading line and the
// markers. What it shows elsewhere (the clock, the vessel buttons, the True View, the manoeuvre
// window's read-outs) it asks for with its signals; it calls no other window.

#include "core/display/display_state.h"
#include "core/scenario/scenario_start.h"
#include "core/simulation.h"
#include "gui/radar_picture.h"
#include "gui/radar_video.h"

#include <QColor>
#include <QElapsedTimer>
#include <QFrame>
#include <QTimer>

#include <functional>
#include <memory>

namespace mv {

class Dialogs;
class Exercise;
class WorldPictureWidget;

// A mile the same number of pixels across and down: the picture is 2 ranges wide and 2.23
// ranges high.
inline constexpr double kPictureAspect = RadarPicture::kAspect;

class RadarView : public QFrame, public ScenarioView {
    Q_OBJECT
  public:
    RadarView(Exercise& exercise, Dialogs& dialogs, QWidget* parent = nullptr);

    WorldPicture& picture();
    WorldPictureWidget* pictureWidget() const { return picRadarCRT_; }
    // The colour of vessel i's echo (red while the manoeuvre window speaks for it).
    std::function<QColor(int vessel)> echoColour;
    // The colours of the palette in force.
    const Palette& colours() const;

    // The display commands' drawing.
    void RedrawRadar() override;
    void RedrawVessels() override;
    void ShowDisplayItems() override;
    void PlaceEBL() override;
    // The EBL caption alone, in the reference in force for the own heading of this moment.
    void ShowEBLCaption();
    void PlaceVRM() override;
    void DrawCursor() override;
    void ShowCursorReadouts() override;
    void RepaintTrueView() override { emit trueViewRepaintWanted(); }
    void Refresh() override;

    // A scenario start's.
    void SetRange(double range) override;
    void EnableVesselControls() override { emit vesselControlsWanted(); }
    void ShowSlotMarkers(int slot, bool radarLine, bool trueViewLabel) override;
    void MarkOwnVesselInTrueView() override { emit ownVesselMarked(); }
    void ClearTrueView() override { emit trueViewClearWanted(); }

    // The tick's.
    void ShowIdentity(bool on) override;
    void ManeuverStep(int vessel, const ManeuverReadout& readout) override {
        emit maneuverStepped(vessel, readout);
    }
    void StatusLine(const std::string& text) override;
    void Clock(const std::string& text) override { emit clockShown(QString::fromStdString(text)); }
    void PlotClock(const std::string& text) override;
    void CentreOn(const PointD& own) override;
    void TrueViewMark(int vessel, const PointD& position) override {
        emit trueViewMarked(vessel, position);
    }
    void Collision(int vessel, const std::array<std::array<PointD, 9>, 2>& mark) override;
    void ShowEcho(int vessel, const EchoLine& echo) override;
    void HideEcho(int vessel) override;
    void PlotMark(int vessel, const EchoLine& echo) override;
    void OwnLabel(int vessel, const PointD& position) override;
    void HeadingLine(const PointD& from, const PointD& to) override;
    void CardinalLabels(const std::array<std::string, 4>& captions) override;
    void BearingFailed() override;

    // Radar video: the picture as the receiver gives it (noise, clutter, fading and false
    // echoes) in place of the clean echoes, swept line by line as the antenna turns. The
    // video's state is the session's (Exercise::video()); the view paints its frames.
    bool videoOn() const;

  signals:
    void clockShown(const QString& text);
    void maneuverStepped(int vessel, const ManeuverReadout& readout);
    void vesselControlsWanted();
    void trueViewLabelShown(int slot, bool visible);
    void ownVesselMarked();
    void trueViewMarked(int vessel, const PointD& position);
    void trueViewClearWanted();
    void trueViewRepaintWanted();

  private:
    void SetLabel(const QString& name, const QString& text);
    // The own vessel's ordered course (degrees true), 0 before any scenario.
    float OwnCourse() const;
    // Every item in the palette's colour, and the frame around the picture.
    void ShowColours();

    // The video's sweep: paints what the antenna swept up to this moment of the last tick's
    // span (a tick's sea time spread over the tick's 3 s of real time), and shows it.
    void tmrSweep_Timer();
    // The video shown or hidden, and its read-out, as the session has them.
    void ShowVideoState();
    // The image fitted to the range circle and every line laid into it afresh.
    void ShowWholeVideo();
    void ShowVideoFrame(int first, int count);
    void ShowVideoReadout();

    // What draws the video: the session holds the model.
    struct Sweep {
        VideoSweep sweep;
        QTimer* tmrSweep = nullptr;
        QElapsedTimer sinceTick;
        bool shownOn = false;
    };
    Sweep video_;

    Exercise& exercise_;
    Simulation& sim_;
    RadarDisplayState& display_;
    Dialogs& dialogs_;
    WorldPictureWidget* picRadarCRT_ = nullptr;
    std::unique_ptr<RadarPicture> radar_;
    DisplayPalette shownColours_ = DisplayPalette::Day;
    // Whether the widget has given the picture its size yet. Until then the picture is a
    // 100 x 100 stand-in no one sees, so the redraws asked for before the console is first
    // shown set only the display state they stand for, and the face and the echoes are drawn
    // once, at the size they show at.
    bool sized_ = false;
};

} // namespace mv
