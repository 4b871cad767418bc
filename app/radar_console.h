#pragma once
// frmRadar, the radar console: the radar picture on the left with the tools docked round it,
// the control column on the right, and the True View floating over them. It joins the parts: the
// picture shows what the exercise and the display commands ask for, the column's buttons are views
// of the commands, and the panels' requests are carried to the picture and the True View.

#include <QWidget>

#include <memory>

class QMainWindow;

namespace mv {

class CommandActions;
class ControlColumn;
class CursorTool;
class Dialogs;
class Exercise;
class KeysTool;
class PickTool;
class PlotOverlays;
class IndexLinesWindow;
class TrialWindow;
class TargetDataWindow;
class MarkerHold;
class MarkerPanel;
class RadarView;
class TrafficSelector;
class TrueView;
class VesselPanel;
class WorldPicture;
class WorldPictureWidget;

class RadarConsole : public QWidget {
    Q_OBJECT
  public:
    RadarConsole(Exercise& exercise, Dialogs& dialogs, QWidget* parent = nullptr);
    ~RadarConsole() override;

    // The narrowest the console can be at a height (pixels) with the picture at full height
    // and every control usable.
    int UsableWidth(int height) const;

    RadarView& view() const { return *view_; }
    WorldPicture& picture();
    WorldPictureWidget* pictureWidget() const;
    // Every command's action, shared by the console's buttons and the main window's menus.
    CommandActions& actions() const { return *actions_; }
    TrafficSelector& traffic() const;
    MarkerPanel& markers() const;
    TrueView& trueView() const { return *frmTrueView_; }
    // Made the first time it is asked for, like the index lines and the trial below: the
    // console draws the aids on the picture and answers an alarm whether it exists or not.
    TargetDataWindow& targetData();
    bool targetDataShown() const;
    // The index lines and the trial windows are made the first time they are asked for: most
    // runs never open them, and a start-up that builds them hidden pays for nothing shown.
    IndexLinesWindow& indexLines();
    bool indexLinesShown() const;
    TrialWindow& trial();
    bool trialShown() const;
    VesselPanel* vesselPanel() const;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void LayOut();
    // The radar picture inside its frame, as large as the frame allows.
    void PlacePicture();
    // The control column's width (logical pixels): fixed, unless its contents need more.
    int ControlsWidth() const;
    // The window's title from the exercise; the input mode's tool on the picture.
    void ShowExerciseState();
    // A jump: the picture drawn about the new own vessel, and the True View follows.
    void ShowJump(int former, int own, const QString& status);
    // The index lines on the picture, from the display state: they stay drawn with their
    // window closed or never opened.
    void ShowIndexLines();
    // The aids of this moment: worked out from the exercise, drawn on the picture (vectors,
    // true trails, marks, guard ring, the tracks' symbols) and given to the Target Data
    // window if it has been made.
    void ShowAids();

    Exercise& exercise_;
    Dialogs& dialogs_;
    QMainWindow* area_ = nullptr;
    RadarView* view_ = nullptr;
    CommandActions* actions_ = nullptr;
    MarkerHold* hold_ = nullptr;
    KeysTool* keysTool_ = nullptr;
    CursorTool* cursorTool_ = nullptr;
    PickTool* pickTool_ = nullptr;
    TargetDataWindow* frmTargetData_ = nullptr;
    struct Aids;
    std::unique_ptr<Aids> aids_;
    std::unique_ptr<PlotOverlays> overlays_;
    IndexLinesWindow* frmIndexLines_ = nullptr;
    TrialWindow* frmTrial_ = nullptr;
    ControlColumn* picControls_ = nullptr;
    TrueView* frmTrueView_ = nullptr;
};

// The console's own commands: the True View, help and tutorial, the vessel entries, the CPA
// computer and the traffic sources.
void RegisterConsoleCommands(RadarConsole& console, Exercise& exercise, Dialogs& dialogs);

} // namespace mv
