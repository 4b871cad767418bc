#pragma once
// The radar video drawn as a sweep: the lines the antenna painted since the last frame are laid
// into an image of the range circle, which the picture shows under its overlays (markers, plot
// marks, aids and tracks stay drawn over the video). Each pixel of the disc belongs to one
// bearing line, found once for the image's size, so a frame costs only the pixels of the
// sector swept.

#include "core/radar_video/radar_video.h"

#include <QColor>
#include <QImage>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace mv {

class WorldPicture;

namespace item {
inline const QString imgVideo = QStringLiteral("imgVideo");
inline const QString lneSweep = QStringLiteral("lneSweep");
inline const QString lblVideo = QStringLiteral("lblVideo");
} // namespace item

class VideoSweep {
  public:
    // An image of the range circle `diameter` device pixels across, shown at `devicePixelRatio`.
    void Resize(int diameter, qreal devicePixelRatio);
    int diameter() const { return diameter_; }
    // The lines `first` .. `first + count - 1` (wrapping) of the video's afterglow, with the
    // picture's up at `upBearing` degrees true, in the echo colour (its brightness the video's).
    void Paint(const RadarVideo& video, int first, int count, double upBearing, QColor colour);
    // Every line: after a resize, a new range or orientation.
    void PaintAll(const RadarVideo& video, double upBearing, QColor colour) {
        Paint(video, 0, RadarVideo::kLines, upBearing, colour);
    }
    void Clear();
    const QImage& image() const { return image_; }
    // Bytes held: the image and the table of each pixel's line and cell.
    std::size_t bytes() const;

  private:
    struct Pixel {
        uint32_t offset; // in the image's pixels
        uint16_t cell;
    };
    int diameter_ = 0;
    QImage image_;
    // The disc's pixels grouped by the bearing line (relative to the picture's up) they lie on.
    std::vector<uint32_t> start_; // kLines + 1 offsets into pixels_
    std::vector<Pixel> pixels_;
    std::array<uint32_t, 256> shade_{};
    QColor shadeColour_;
};

// Declares the video's items in the picture (the image, the sweep line and the controls'
// read-out), hidden, unless they are there already.
void DeclareVideoItems(WorldPicture& picture);

} // namespace mv
