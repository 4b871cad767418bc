#pragma once
// frmTargetData, the picked targets' data and the alarms: range, bearing, true course and
// speed, CPA and TCPA of up to five picked echoes (or, with ARPA on, picked tracks), following
// every tick, and the alarms standing with the acknowledgement. It also keeps the aids drawn
// over the radar picture in step (vectors, true trails, marks, guard ring, the tracks'
// symbols), and sounds and shows itself when the exercise raises an alarm. The picking tool
// gives it its clicks.

#include "app/marker_tools.h"
#include "core/aids/target_aids.h"
#include "gui/radar_aids.h"
#include "gui/radar_tracks.h"

#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QListWidget;
class QGridLayout;

namespace mv {

class CommandActions;
class Dialogs;
class Exercise;
class WorldPictureWidget;

// Pick mode: a click on an echo picks it for its data, or lets it go; the keys and the wheel
// still work the bearing line and the range ring.
class PickTool : public KeysTool {
  public:
    PickTool(Exercise& exercise, DisplayView& view, MarkerHold& hold, QObject* parent,
             std::function<void()> picked);
    void press(double east, double north, Qt::MouseButton button) override;
    std::optional<Qt::CursorShape> pointer() const override { return Qt::PointingHandCursor; }

  private:
    std::function<void()> picked_;
};

class TargetDataWindow : public QWidget {
    Q_OBJECT
  public:
    TargetDataWindow(Exercise& exercise, Dialogs& dialogs, CommandActions& actions,
                     WorldPictureWidget& picture, QWidget* parent);
    // The aids of this moment: figures, the picture's aid items and the window's rows. The
    // alarms are the exercise's, stepped whether or not this window exists.
    void ShowAids();
    const std::vector<TargetAid>& aids() const { return aids_; }
    const std::vector<TrackView>& tracks() const { return tracks_; }

  protected:
    // Shown or closed by its frame: the menu's check mark follows.
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void FillRows();

    Exercise& exercise_;
    Dialogs& dialogs_;
    WorldPictureWidget& picture_;
    std::unique_ptr<RadarAids> radarAids_;
    std::unique_ptr<RadarTracks> radarTracks_;
    std::vector<TargetAid> aids_;
    std::vector<TrackView> tracks_;
    // A dangerous track flashes until acknowledged: half a second on, half off, between ticks.
    QTimer flash_;
    bool flashOn_ = true;
    QGridLayout* grid_ = nullptr;
    std::vector<std::vector<QLabel*>> rows_; // kMaxPicked rows of a label per column
    QListWidget* lstAlarms_ = nullptr;
};

} // namespace mv
