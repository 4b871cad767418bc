#pragma once
// The true tracks of a recorded run, north up over a square of sea that holds the whole run:
// each vessel's track up to a moment with its letter where it then is, and on request a mark
// and the time at regular intervals along the tracks, for an exported or printed picture.

#include "core/record/run_record.h"
#include "gui/palette.h"

#include <QRectF>

class QPainter;

namespace mv {

// Paints into `area` (device-independent pixels). `upTo` is the last moment drawn; with
// `timeMarks` every track carries a dot at each whole interval of sea time and the own
// vessel's the time beside it.
void PaintTracks(QPainter& painter, const QRectF& area, const RunRecord& run, std::size_t upTo,
                 const Palette& colours, bool timeMarks);
// Minutes between time marks: 3, 6, 12, 30 or 60, whichever gives at most about 20 over the run.
int TimeMarkMinutes(const RunRecord& run);

} // namespace mv
