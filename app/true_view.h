#pragma once
// frmTrueView: the same traffic in true motion over a fixed square of sea, each vessel a
// lettered label leaving a track of grey points, with its own range steps, a reference grid,
// re-centring and Repeat. A tool window that floats above the main window; its close box only
// hides it.

#include "core/display/display_state.h"
#include "core/vessel.h"

#include <QColor>
#include <QWidget>

class QFrame;

namespace mv {

class Exercise;
class WorldPicture;
class WorldPictureWidget;

namespace item {
// The true-motion picture's own items: the vessel labels lblVessel(0) to lblVessel(5).
void DeclareTrueViewItems(WorldPicture& picture);
// The scale read-out in the view's top left corner.
inline const QString lblTrueScale = QStringLiteral("lblTrueScale");
} // namespace item

class TrueView : public QWidget {
    Q_OBJECT
  public:
    // parent: the radar console; the window floats above the console's main window.
    TrueView(Exercise& exercise, QWidget* parent);

    // Open or close, keeping the exercise as it was (a paused exercise stays paused).
    void ToggleTrueView();
    // Clears the tracks and centres the view on the own vessel, with the grid when it is on.
    void ResetTrueView();
    // The grid lines alone, over the view's present window; the title is the caller's.
    void DrawTrueViewGrid();
    // The tracks cleared, the view left where it is.
    void ClearTrueView();
    // Vessel i is at `position`: its label moves there and leaves a grey point.
    void TrueViewMark(int vessel, const PointD& position);
    // A red point at every vessel's present position, as after the window is uncovered.
    void picTrueCRT_Paint();
    void ShowLabel(int slot, bool visible);
    // The own vessel's letter in the palette's own colour, the targets' in theirs.
    void ShowLabelColours();

    WorldPicture& picture();
    WorldPictureWidget* pictureWidget() const { return picTrueCRT_; }

  signals:
    // Command1: the console's Repeat is to be pressed.
    void repeatPressed();

  public slots:
    void cmdDecreaseTrueRange_Click();
    void cmdIncreaseTrueRange_Click();
    void cmdCenter_Click();
    void cmdGrid_Click();
    void Command1_Click();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void PlaceLabels();
    // Bottom right of the main window's working area; the picture a square 0.4 of its width
    // when first shown.
    void PlaceOverMainWindow();

    Exercise& exercise_;
    RadarDisplayState& display_;
    QFrame* pnlToolBar_ = nullptr;
    WorldPictureWidget* picTrueCRT_ = nullptr;
    bool sized_ = false;
    bool placedFramed_ = false;
    DisplayPalette shownColours_ = DisplayPalette::Day;
};

} // namespace mv
