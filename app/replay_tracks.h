#pragma once
// picReplayTracks: the true tracks of a recorded run up to the moment the replay shows.

#include "gui/run_tracks.h"

#include <QWidget>

#include <memory>

namespace mv {

class ReplayTracks : public QWidget {
    Q_OBJECT
  public:
    explicit ReplayTracks(QWidget* parent);
    // The run to draw (it must outlive the widget or be replaced); none shows a bare sea.
    void setRun(const RunRecord* run);
    void setMoment(std::size_t moment);
    void setColours(DisplayPalette colours);
    QSize sizeHint() const override { return {320, 320}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const RunRecord* run_ = nullptr;
    std::unique_ptr<TrackLines> lines_; // thinned for the size drawn last
    std::size_t moment_ = 0;
    DisplayPalette colours_ = DisplayPalette::Day;
};

} // namespace mv
