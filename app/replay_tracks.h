#pragma once
// picReplayTracks: the true tracks of a recorded run up to the moment the replay shows.

#include "core/record/run_record.h"
#include "gui/run_tracks.h"

#include <QWidget>

namespace mv {

class ReplayTracks : public QWidget {
    Q_OBJECT
  public:
    ReplayTracks(const RunRecord& run, QWidget* parent);
    void setMoment(std::size_t moment);
    void setColours(DisplayPalette colours);
    QSize sizeHint() const override { return {320, 320}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const RunRecord& run_;
    std::size_t moment_ = 0;
    DisplayPalette colours_ = DisplayPalette::Day;
};

} // namespace mv
