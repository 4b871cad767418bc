#pragma once
// The frame of the radar picture: the black face with its green edge, range rings, bearing
// scale and cardinal captions, and the read-out labels that sit inside the picture.

#include "core/display/display_state.h"
#include "core/vessel.h"
#include "gui/palette.h"
#include "gui/world_picture.h"

#include <QSize>

#include <vector>

namespace mv {

class RadarPicture {
  public:
    // Declares the radar's items in the picture, unless they are there already.
    RadarPicture(WorldPicture& picture, RadarDisplayState& state);

    // Puts the world window around the own vessel: the range circle touches the left and
    // right edges, with a band of 0.1 range above it and 0.13 range below for labels.
    void SetRadarScale(const PointD& centre);
    // The one full redraw: face, rings, bearing scale, label places and captions. Erases the
    // plot trails. It only draws: the caller first sets what a redraw changes in the state
    // (PrepareFullRedraw), and the echo width it reads from there.
    void RedrawRadar(const PointD& centre);
    void DrawBearingScale(const PointD& centre);
    // Cardinal captions: top and bottom centred outside the circle, the sides inside it
    // against the inner ends of their ticks.
    void PlaceCardinalLabels(const PointD& centre);
    // Scales the label font with the picture so captions read alike at every window size.
    void FitLabelFont();

    WorldPicture& picture() { return picture_; }
    // The colours of the palette in force.
    const Palette& colours() const { return PaletteFor(state_.Colours); }

  private:
    void PlaceLabels();
    // The face, rings and bearing scale, drawn afresh, or laid down again from a face kept
    // earlier at the same size, with ring circles at the same fractions of the range (a step
    // from 12 to 6 or 24 nm keeps them at sixths) and the same scale. A few faces are kept, so
    // switching the rings or the bearing reference back and forth draws each face once.
    void DrawFrame(const PointD& centre);
    float RingSpacing() const;
    // The bearing scale has 5- and 45-degree ticks when it reads relative bearings or the
    // picture is north-up; otherwise it is a ring of dots.
    bool ScaleHasTicks() const;
    WorldPicture& picture_;
    RadarDisplayState& state_;
    struct FrameKey {
        QSize deviceSize;
        std::vector<double> rings; // radii as fractions of the range
        bool ticks = false;
        DisplayPalette colours = DisplayPalette::Day;
        friend bool operator==(const FrameKey&, const FrameKey&) = default;
    };
    struct Face {
        FrameKey key;
        KeptDisc kept;
    };
    std::vector<Face> faces_; // the last used first; a few hundred kilobytes each
    QSize lastSize_;
};

} // namespace mv
