#include "app/replay_tracks.h"

#include <QPainter>

namespace mv {

ReplayTracks::ReplayTracks(const RunRecord& run, QWidget* parent) : QWidget(parent), run_(run) {
    setObjectName("picReplayTracks");
    setMinimumSize(160, 120);
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
    PaintTracks(p, rect(), run_, moment_, PaletteFor(colours_), false);
}

} // namespace mv
