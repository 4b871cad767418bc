#include "gui/radar_video.h"

#include "gui/world_picture.h"

#include <cmath>

namespace mv {

void VideoSweep::Resize(int diameter, qreal devicePixelRatio) {
    diameter = std::max(diameter, 2);
    if (diameter == diameter_ && image_.devicePixelRatio() == devicePixelRatio) return;
    diameter_ = diameter;
    image_ = QImage(diameter, diameter, QImage::Format_ARGB32_Premultiplied);
    image_.setDevicePixelRatio(devicePixelRatio);
    image_.fill(Qt::transparent);
    constexpr int kLines = RadarVideo::kLines;
    const double radius = diameter / 2.0;
    // Count each line's pixels, then place them: two passes over the disc.
    std::vector<uint32_t> counts(kLines + 1, 0);
    std::vector<Pixel> all;
    std::vector<uint16_t> lineOf;
    all.reserve(static_cast<size_t>(3.2 * radius * radius));
    lineOf.reserve(all.capacity());
    for (int y = 0; y < diameter; ++y)
        for (int x = 0; x < diameter; ++x) {
            const double east = x + 0.5 - radius, north = radius - (y + 0.5);
            const double r = std::hypot(east, north);
            if (r >= radius) continue;
            double b = std::atan2(east, north) * 180.0 / 3.14159265358979323846;
            if (b < 0) b += 360.0;
            const int line = std::min(kLines - 1, static_cast<int>(b / 360.0 * kLines));
            const int cell =
                std::min(RadarVideo::kCells - 1, static_cast<int>(r / radius * RadarVideo::kCells));
            all.push_back({static_cast<uint32_t>(y * diameter + x), static_cast<uint16_t>(cell)});
            lineOf.push_back(static_cast<uint16_t>(line));
            ++counts[static_cast<size_t>(line) + 1];
        }
    start_.assign(kLines + 1, 0);
    for (int l = 0; l < kLines; ++l)
        start_[static_cast<size_t>(l) + 1] =
            start_[static_cast<size_t>(l)] + counts[static_cast<size_t>(l) + 1];
    pixels_.assign(all.size(), {});
    std::vector<uint32_t> next(start_.begin(), start_.end() - 1);
    for (size_t i = 0; i < all.size(); ++i)
        pixels_[next[lineOf[i]]++] = all[i];
}

void VideoSweep::Clear() {
    image_.fill(Qt::transparent);
}

std::size_t VideoSweep::bytes() const {
    return static_cast<std::size_t>(image_.sizeInBytes()) + pixels_.size() * sizeof(Pixel) +
           start_.size() * sizeof(uint32_t);
}

void VideoSweep::Paint(const RadarVideo& video, int first, int count, double upBearing,
                       QColor colour) {
    if (diameter_ == 0 || start_.empty()) return;
    if (colour != shadeColour_) {
        // The echo colour at every brightness, premultiplied, transparent at none so the face's
        // rings and plot marks show through where there is no video.
        shadeColour_ = colour;
        for (int a = 0; a < 256; ++a)
            shade_[static_cast<size_t>(a)] =
                qRgba(colour.red() * a / 255, colour.green() * a / 255, colour.blue() * a / 255, a);
    }
    constexpr int kLines = RadarVideo::kLines;
    const int up = static_cast<int>(std::lround(upBearing / 360.0 * kLines));
    auto* bits = reinterpret_cast<uint32_t*>(image_.bits());
    for (int k = 0; k < std::min(count, kLines); ++k) {
        const int line = (first + k) % kLines;
        const int screen = ((line - up) % kLines + kLines) % kLines;
        const uint8_t* glow = video.Glow(line);
        const uint32_t end = start_[static_cast<size_t>(screen) + 1];
        for (uint32_t i = start_[static_cast<size_t>(screen)]; i < end; ++i)
            bits[pixels_[i].offset] = shade_[glow[pixels_[i].cell]];
    }
}

void DeclareVideoItems(WorldPicture& picture) {
    if (picture.isDeclared(item::imgVideo)) return;
    picture.declare(item::imgVideo, WorldPicture::ItemKind::Image, false);
    picture.declare(item::lneSweep, WorldPicture::ItemKind::Line, false);
    picture.declare(item::lblVideo, WorldPicture::ItemKind::Label, false);
}

} // namespace mv
