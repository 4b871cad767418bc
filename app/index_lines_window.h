#pragma once
// frmIndexLines, the parallel index lines: four rows, each switched on or off, with the true
// direction the line runs in, its distance from the own ship and the side it lies on, and an
// optional length. Typed figures are taken by Apply (or by switching a line on); "Through
// cursor" lays a line through the cursor's place on the picture, as a navigator lays one
// through a buoy's echo. The window also keeps the lines drawn on the picture at every tick.

#include "gui/plot_overlays.h"

#include <QWidget>

#include <array>
#include <optional>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace mv {

class Dialogs;
class Exercise;
class NumericEntryFilter;
class WorldPictureWidget;

inline constexpr const char* kIndexLinesHelpPage = "index_lines.htm";

class IndexLinesWindow : public QWidget {
    Q_OBJECT
  public:
    IndexLinesWindow(Exercise& exercise, Dialogs& dialogs, WorldPictureWidget& picture,
                     PlotOverlays& overlays, QWidget* parent);
    // The lines drawn where the own vessel and the picture's orientation put them now.
    void ShowLines();
    // The rows filled from the lines in force.
    void FillRows();

    void cmdApply_Click();
    void cmdThroughCursor_Click(int line);

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    struct Row {
        QCheckBox* On = nullptr;
        QLineEdit* Bearing = nullptr;
        QLineEdit* Offset = nullptr;
        QComboBox* Side = nullptr;
        QLineEdit* Length = nullptr;
    };
    // The row's figures as a line, or a message (and the focus on the field at fault) when one
    // of them is not a figure in range.
    std::optional<IndexLine> ReadRow(int line);

    Exercise& exercise_;
    Dialogs& dialogs_;
    WorldPictureWidget& picture_;
    PlotOverlays& overlays_;
    NumericEntryFilter* filter_ = nullptr;
    std::array<Row, kIndexLineCount> rows_;
};

} // namespace mv
