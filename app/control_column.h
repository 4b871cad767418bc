#pragma once
// picControls: the control column beside the radar picture. It lays out the clock, the time
// factor, the console's buttons (each a view of its command), the markers, the traffic choice,
// the vessel buttons and the sea-state picture, and shows the exercise's state on them.

#include "core/display/display_state.h"

#include <QColor>
#include <QFrame>

#include <vector>

class QComboBox;
class QGroupBox;
class QGridLayout;
class QLabel;
class QPushButton;
class QResizeEvent;
class QVBoxLayout;

namespace mv {

class CommandActions;
class Dialogs;
class Exercise;
class GroupFrameStyle;
class MarkerHold;
class MarkerPanel;
struct Palette;
class SeaStatePanel;
class TrafficSelector;
class VesselPanel;

class ControlColumn : public QFrame {
    Q_OBJECT
  public:
    // `windows`: the console, over which the aids' and scenario windows float.
    ControlColumn(Exercise& exercise, Dialogs& dialogs, CommandActions& actions, MarkerHold& hold,
                  QWidget* windows, QWidget* parent);

    TrafficSelector& traffic() const { return *traffic_; }
    VesselPanel* vesselPanel() const { return pnlVessels_; }
    MarkerPanel& markers() const { return *markers_; }
    void ShowClock(const QString& text);

    // Compact rows: on a screen too low for the column (a laptop's, or any at a scale of 2) the
    // buttons, gaps and clock shrink and the sea picture goes, so that every control is in
    // sight without the scroll bar; back to full size when the height comes back.
    bool compact() const { return compact_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void SetCompact(bool on);
    // A button of the console that gives the command `action`.
    QPushButton* AddButton(const char* name, const QString& caption, const char* action);
    QGridLayout* Group(const char* name, const QString& title);
    // Captions, the pause indicator, the time factor and the sea from the exercise's state.
    void ShowState();
    // The column in the palette's colours, over the sea's colour.
    void ShowColours(const Palette& colours, const QColor& sea);
    // The groups' controls on the widgets' own window colour, not the sea's: their edges and
    // shading are drawn from it.
    void ShowGroupGround();

    Exercise& exercise_;
    CommandActions& actions_;
    QVBoxLayout* column_ = nullptr;
    QLabel* lblTime_ = nullptr;
    QLabel* lblPaused_ = nullptr;
    QComboBox* cboTimeFactor_ = nullptr;
    QPushButton* cmdPause_ = nullptr;
    MarkerPanel* markers_ = nullptr;
    TrafficSelector* traffic_ = nullptr;
    VesselPanel* pnlVessels_ = nullptr;
    SeaStatePanel* pnlSeaState_ = nullptr;
    int shownSea_ = -1;
    DisplayPalette shownColours_ = DisplayPalette::Day;
    std::vector<QGroupBox*> groups_;
    GroupFrameStyle* groupStyle_ = nullptr; // the groups' frames and titles, owned by the column
    QWidget* holder_ = nullptr;
    bool compact_ = false;
    int fullHeight_ = 0; // the column's height at full size, pixels, once it went compact
};

} // namespace mv
