#pragma once
// frmTargetData, the picked targets' data and the alarms: range, bearing, true course and
// speed, CPA and TCPA of up to five picked echoes (or, with ARPA on, picked tracks), and the
// alarms standing with the acknowledgement. The console works out the aids at every tick and
// draws them on the picture; this window only shows their figures, and is made the first time
// it is asked for. The picking tool gives it its clicks.

#include "app/marker_tools.h"
#include "core/aids/target_aids.h"
#include "core/arpa/tracking.h"

#include <QWidget>

#include <functional>
#include <vector>

class QLabel;
class QListWidget;
class QGridLayout;

namespace mv {

class CommandActions;
class Exercise;

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
    TargetDataWindow(Exercise& exercise, CommandActions& actions, QWidget* parent);
    // The rows and the alarm list for the aids of this moment: one entry per target, and the
    // tracks (none with ARPA off). The alarms are the exercise's, stepped whether or not this
    // window exists.
    void ShowData(const std::vector<TargetAid>& aids, const std::vector<TrackView>& tracks);

  protected:
    // Shown or closed by its frame: the menu's check mark follows.
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    Exercise& exercise_;
    QGridLayout* grid_ = nullptr;
    std::vector<std::vector<QLabel*>> rows_; // kMaxPicked rows of a label per column
    QListWidget* lstAlarms_ = nullptr;
};

} // namespace mv
