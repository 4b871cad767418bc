#pragma once
// The program's colours, in one place, for the three light conditions of a bridge: day, dusk
// and night. Every drawer asks the palette in force (RadarDisplayState::Colours) for its
// colours, so a new overlay, panel or dialog follows the watch's choice without knowing it.
// Echoes are the brightest thing in every palette, so one lying on a range ring, the bearing
// scale or a marker still stands out from it. Night is dim and holds almost no blue light,
// which spoils the dark-adapted eye least.

#include "core/display/display_state.h"

#include <QColor>
#include <QPalette>
#include <QString>

#include <array>

namespace mv {

struct Palette {
    // The radar picture.
    QColor face;          // inside the range circle
    QColor trace;         // edge, rings, bearing scale, heading line, captions
    QColor echo;          // a target's echo line
    QColor plotMark;      // the plot trail left behind an echo
    QColor collision;     // the mark of a collision
    QColor echoManoeuvre; // the echo of the vessel whose manoeuvre window is open
    QColor marker;        // EBL and VRM
    QColor cursor;        // the cursor cross
    QColor vesselLetter;  // the letters beside the echoes
    QColor notice;        // "No exercise loaded" on the face
    QColor frame;         // around the picture, where the console's room is left over
    QColor trial;         // a trial manoeuvre's predicted tracks and its TRIAL caption
    QColor indexLine;     // parallel index lines and their legend
    // The radar-course aids over the picture.
    QColor relativeVector, trueVector; // a target's vector; the own vessel's true one too
    QColor picked;                     // the ring round a target picked for its data
    QColor danger, dangerSeen;         // a target in danger: not yet and once acknowledged
    QColor guardRing;
    QColor trueTrail;
    // The True View.
    QColor trueSea, trueTrack, trueGrid, trueOwn, trueTarget;
    // The console.
    std::array<QColor, 3> consoleSea; // behind the controls in calm, moderate and heavy sea
    QColor groupBack;                 // under a group of buttons and its title
    QColor groupBorder;
    QColor groupTitle;
    QColor clockBack, clockText;
    QColor alarm;     // PAUSED, cautions, a manoeuvre under way
    QColor ownButton; // the own vessel's letter on its button; targets take the button text
    QColor buttonInk; // the drawings on the marker and range buttons
    QColor seaShade;  // laid over the sea-state picture, dimming it at dusk and at night
    QColor workspace; // the main window's empty area and the start-up backdrop
};

const Palette& PaletteFor(DisplayPalette which);
// "Day", "Dusk", "Night": the menu's words and the kept setting's value.
QString PaletteName(DisplayPalette which);
// The palette named so; day for a name not known (a setting written by a later version).
DisplayPalette PaletteNamed(const QString& name);
// The widgets' own colours (windows, buttons, text, dialogs) for the palette: the platform's
// by day, given as `day`; dark ones at dusk and at night.
QPalette WidgetPalette(DisplayPalette which, const QPalette& day);

} // namespace mv
