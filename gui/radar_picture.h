#pragma once
// The frame of the radar picture: the black face with its green edge, range rings, bearing
// scale and cardinal captions, and the read-out labels that sit inside the picture; and the
// items placed over it from the plain state: echoes, plot marks, the heading line, the EBL and
// VRM and their captions. The console and the moment renderer both draw through it.

#include "core/display/display_state.h"
#include "core/vessel.h"
#include "core/vessel_view.h"
#include "gui/palette.h"
#include "gui/world_picture.h"

#include <QColor>
#include <QSize>

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace mv {

class RadarPicture {
  public:
    // A mile the same number of pixels across and down: the picture is 2 ranges wide and 2.23
    // ranges high.
    static constexpr double kAspect = 2.0 / 2.23;

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

    // The items over the face as a fresh console shows them: the bearing captions, range and
    // mode shown, a vessel letter and an echo line for every slot, the heading line, the plot
    // clock at 00:00:00 and the notice of an empty face.
    void ShowStartItems();
    // Every item in the palette's colour; `echoColour` gives a vessel's echo its own.
    void ShowColours(const std::function<QColor(int vessel)>& echoColour = {});
    // The captions and markers whose visibility or text follows the state.
    void ShowDisplayItems();
    // A caption in the trace colour.
    void SetCaption(const QString& name, const QString& text);
    // Both VRMs about the own vessel with their captions, placed even while hidden, so that
    // switching one on shows the ring its caption reads.
    void PlaceVRM(const PointD& own);
    // Both EBLs, the first from the own vessel, the second from its origin (an offset one's
    // sea position turned into the picture), their captions in the reference in force for the
    // own heading and ordered course (degrees true).
    void PlaceEBL(const PointD& own, float ownHeading, float ownCourse);
    void ShowEcho(int vessel, const EchoLine& echo, const QColor& colour);
    void HideEcho(int vessel);
    // A grey copy of an echo, stamped into the face.
    void PlotMark(const EchoLine& echo);
    void HeadingLine(const PointD& from, const PointD& to);
    // The captions of the bearing scale at top, right, bottom and left.
    void CardinalLabels(const std::array<std::string, 4>& captions);
    // The letters beside the echoes shown, and the own vessel's, on or off.
    void ShowIdentity(bool on, int vessels, int own);

    WorldPicture& picture() { return picture_; }
    // The colours of the palette in force.
    const Palette& colours() const { return PaletteFor(state_.Colours); }

    // The motion, orientation and bearing reference, the vectors and their stabilisation.
    void ShowModeReadouts();
    // One read-out in its corner slot, after its text changed (the video's, shown by the view).
    void PlaceReadout(const QString& name);

  private:
    // The second EBL and VRM and their read-outs shown or hidden as the state says.
    void ShowSecondMarkers();
    // Every read-out in its corner slot.
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
    bool ebl2Inside_ = true; // some of the second EBL lies inside the range circle
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
