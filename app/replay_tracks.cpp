#include "app/replay_tracks.h"

#include <QPainter>

namespace mv {

ReplayTracks::ReplayTracks(QWidget* parent) : QWidget(parent) {
    setObjectName("picReplayTracks");
    setMinimumSize(160, 120);
}

void ReplayTracks::setRun(const RunRecord* run) {
    run_ = run;
    lines_.reset();
    update();
}

void ReplayTracks::setMoment(std::size_t moment) {
    moment_ = moment;
    update();
}

void ReplayTracks::setColours(DisplayPalette colours) {
    colours_ = colours;
    update();
}

void ReplayTracks::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!run_ || run_->Ticks.empty()) {
        p.fillRect(rect(), PaletteFor(colours_).trueSea);
        return;
    }
    // Thinned again only when the panel's size calls for other cells: a few tens of
    // milliseconds at a million moments.
    const int cells = TrackLines::CellsFor(std::min(width(), height()) * devicePixelRatioF());
    if (!lines_ || lines_->cells() != cells) lines_ = std::make_unique<TrackLines>(*run_, cells);
    PaintTracks(p, rect(), *lines_, moment_, PaletteFor(colours_), false);
}

} // namespace mv
