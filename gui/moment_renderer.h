#pragma once
// The radar picture of one moment drawn from plain state alone: the vessels and the display as
// the student had them, the plot marks that stood in the picture then and the alarms, drawn by
// the radar picture's own code (face, rings, bearing scale, echoes, plot marks, heading line,
// markers, captions and aids) into a world picture. No window, exercise, timer or command is
// involved, so the replay shows it, the report prints it and marovane-plot writes it alike.

#include "core/aid_settings.h"
#include "core/display/display_state.h"
#include "core/record/run_record.h"
#include "core/record/run_replay.h"
#include "core/simulation.h"
#include "core/vessel_view.h"
#include "gui/radar_aids.h"
#include "gui/radar_picture.h"
#include "gui/radar_tracks.h"
#include "gui/world_picture.h"

#include <QImage>
#include <QSize>

#include <memory>
#include <utility>
#include <vector>

namespace mv {

// One moment as the picture needs it. World units are nautical miles, X north and Y east.
struct RadarMoment {
    Simulation Sim;            // the vessels where they were
    RadarDisplayState Display; // range, orientation, markers, plotting and aids then
    // The plot marks of earlier moments still standing, each moved with the own vessel to
    // where it lay from her at this moment; or, with true trails, the targets' past positions.
    std::vector<std::pair<int, EchoLine>> PlotMarks;
    std::vector<std::pair<int, PointD>> TrailPoints;
    double PlotTime = 0; // days since plotting was switched on
    // The tracks the student saw then (ARPA on), with their danger alerts as she had them.
    std::vector<TrackView> Tracks;
    std::vector<TrackAlert> TrackAlerts;
};

// A recorded moment's tracks as the picture draws them: vectors for the vector time
// (minutes) against the own vessel's recorded course and speed, and the past positions a
// minute apart from the moments before.
std::vector<TrackView> TracksOf(const RunRecord& run, std::size_t index, double vectorMinutes);

// Moment `index` of a run (clamped to it), in the palette given, with the alarms as the
// student had them then (AlarmsAt, or stepped along by a player).
RadarMoment MomentOf(const RunRecord& run, std::size_t index, const AlarmState& alarms,
                     DisplayPalette colours);
// The same with the run's plot history worked once, for a player that shows many moments.
RadarMoment MomentOf(const RunRecord& run, const PlotHistory& plots, std::size_t index,
                     const AlarmState& alarms, DisplayPalette colours);

class MomentRenderer {
  public:
    // Draws into `picture`, whose size is the caller's; its radar items are declared if they
    // are not there yet.
    explicit MomentRenderer(WorldPicture& picture);
    ~MomentRenderer();
    MomentRenderer(const MomentRenderer&) = delete;
    MomentRenderer& operator=(const MomentRenderer&) = delete;

    // The whole picture of the moment, drawn afresh.
    void Render(const RadarMoment& moment);
    // The state last drawn.
    const RadarDisplayState& display() const { return display_; }
    const Simulation& simulation() const { return sim_; }

  private:
    class View;
    WorldPicture& picture_;
    Simulation sim_;
    RadarDisplayState display_;
    RadarPicture radar_;
    RadarAids aids_;
    RadarTracks tracks_;
    std::unique_ptr<View> view_;
};

// The picture of moment `index` of a run, `size` logical pixels at `devicePixelRatio`, with
// the alarms stepped from the start: the report's pictures and any other still of a run.
QImage RenderMoment(const RunRecord& run, std::size_t index, QSize size,
                    DisplayPalette colours = DisplayPalette::Day, qreal devicePixelRatio = 1.0);

} // namespace mv
