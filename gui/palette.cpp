#include "gui/palette.h"

namespace mv {

namespace {

Palette Day() {
    Palette p;
    p.face = QColor(0, 0, 0);
    p.trace = QColor(0, 255, 0);
    // Near white with a green cast: brighter than the full green of the rings and scale, and
    // of another hue than the amber markers, so an echo on any of them reads at once.
    p.echo = QColor(225, 255, 215);
    p.plotMark = QColor(128, 128, 128);
    p.collision = QColor(0, 255, 0);
    p.echoManoeuvre = QColor(255, 0, 0);
    p.marker = QColor(255, 190, 0);
    p.cursor = QColor(255, 255, 255);
    p.vesselLetter = QColor(255, 255, 0);
    p.notice = QColor(255, 200, 0);
    p.frame = QColor(0x20, 0x24, 0x28);
    // Of hues no other mark of the picture takes: magenta for what has not happened yet, a
    // clear blue for the lines laid by the navigator.
    p.trial = QColor(255, 90, 230);
    p.indexLine = QColor(110, 160, 255);
    p.relativeVector = QColor(255, 255, 255);
    p.trueVector = QColor(0, 220, 255);
    p.picked = p.trueVector;
    p.danger = QColor(255, 40, 40);
    p.dangerSeen = QColor(255, 190, 0);
    p.guardRing = p.dangerSeen;
    p.trueTrail = QColor(150, 150, 150);
    p.trueSea = QColor(0, 0, 0);
    p.trueTrack = QColor(0xC0, 0xC0, 0xC0);
    p.trueGrid = QColor(0x80, 0x80, 0x80);
    p.trueOwn = QColor(255, 0, 0);
    p.trueTarget = QColor(0, 255, 0);
    p.consoleSea = {QColor(163, 215, 245), QColor(176, 187, 196), QColor(111, 129, 142)};
    p.groupBack = QColor(244, 248, 251, 215);
    p.groupBorder = QColor(0x6a, 0x8f, 0xa8);
    p.groupTitle = QColor(16, 32, 48);
    p.clockBack = QColor(0x0b, 0x1a, 0x10);
    p.clockText = QColor(0x40, 0xff, 0x70);
    p.alarm = QColor(0xc0, 0x00, 0x00);
    p.ownButton = QColor(0, 0, 255);
    p.buttonInk = QColor(0x1b, 0x4d, 0x2b);
    p.seaShade = QColor(0, 0, 0, 0);
    p.workspace = QColor(90, 110, 130);
    return p;
}

// Dusk: the picture a little dimmer, the console in dark slate with light text.
Palette Dusk() {
    Palette p = Day();
    p.trace = QColor(0, 176, 64);
    p.echo = QColor(215, 255, 200);
    p.plotMark = QColor(100, 100, 100);
    p.collision = p.trace;
    p.echoManoeuvre = QColor(235, 40, 40);
    p.marker = QColor(220, 160, 0);
    p.cursor = QColor(210, 210, 210);
    p.vesselLetter = QColor(225, 225, 60);
    p.notice = QColor(220, 170, 0);
    p.frame = QColor(18, 21, 24);
    p.trial = QColor(220, 80, 200);
    p.indexLine = QColor(95, 140, 225);
    p.relativeVector = QColor(215, 215, 215);
    p.trueVector = QColor(0, 185, 215);
    p.picked = p.trueVector;
    p.danger = QColor(235, 40, 40);
    p.dangerSeen = QColor(220, 160, 0);
    p.guardRing = p.dangerSeen;
    p.trueTrail = QColor(115, 115, 115);
    p.trueTrack = QColor(150, 150, 150);
    p.trueGrid = QColor(90, 90, 90);
    p.trueOwn = QColor(235, 40, 40);
    p.trueTarget = p.trace;
    p.consoleSea = {QColor(44, 58, 70), QColor(50, 56, 62), QColor(36, 42, 48)};
    p.groupBack = QColor(30, 38, 46, 220);
    p.groupBorder = QColor(90, 112, 128);
    p.groupTitle = QColor(214, 224, 232);
    p.clockBack = QColor(4, 12, 6);
    p.clockText = QColor(40, 210, 90);
    p.alarm = QColor(255, 135, 125);
    p.ownButton = QColor(140, 185, 255);
    p.buttonInk = QColor(150, 220, 170);
    p.seaShade = QColor(10, 16, 26, 120);
    p.workspace = QColor(36, 44, 52);
    return p;
}

// Night: dim amber on black, with next to no blue in any colour, and red kept for danger alone
// (the alarm, a target closing inside the limits). Every text still reads at 4.5:1 on its
// ground, so the captions are no dimmer than that allows; the echo stays the brightest mark.
Palette Night() {
    Palette p;
    p.face = QColor(0, 0, 0);
    p.trace = QColor(180, 102, 0);
    p.echo = QColor(235, 165, 30);
    p.plotMark = QColor(80, 50, 12);
    p.collision = p.trace;
    // The vessel under a manoeuvre: orange, not the danger's red.
    p.echoManoeuvre = QColor(240, 120, 30);
    // The EBL and VRM a yellower amber than the trace, told from it by hue and lightness.
    p.marker = QColor(170, 140, 30);
    p.cursor = QColor(150, 100, 30);
    p.vesselLetter = QColor(175, 120, 10);
    p.notice = QColor(185, 112, 0);
    p.frame = QColor(8, 5, 2);
    // Told apart from the amber trace by lightness and a touch of red, not by blue.
    p.trial = QColor(210, 105, 60);
    p.indexLine = QColor(150, 125, 60);
    // Vectors told apart from the echoes and the trace by lightness and redness alone.
    p.relativeVector = QColor(200, 160, 100);
    p.trueVector = QColor(215, 95, 35);
    p.picked = p.trueVector;
    p.danger = QColor(235, 20, 0);
    p.dangerSeen = QColor(160, 95, 0);
    p.guardRing = p.dangerSeen;
    p.trueTrail = QColor(90, 60, 20);
    p.trueSea = QColor(0, 0, 0);
    p.trueTrack = QColor(80, 56, 20);
    p.trueGrid = QColor(56, 36, 8);
    p.trueOwn = p.echo;
    p.trueTarget = p.trace;
    p.consoleSea = {QColor(20, 13, 6), QColor(18, 12, 6), QColor(14, 9, 4)};
    p.groupBack = QColor(28, 18, 8, 230);
    p.groupBorder = QColor(76, 48, 14);
    p.groupTitle = QColor(190, 122, 44);
    p.clockBack = QColor(0, 0, 0);
    p.clockText = QColor(190, 110, 10);
    p.alarm = QColor(255, 50, 0);
    p.ownButton = QColor(210, 120, 20);
    p.buttonInk = QColor(170, 108, 34);
    p.seaShade = QColor(12, 6, 0, 200);
    p.workspace = QColor(12, 8, 4);
    return p;
}

} // namespace

const Palette& PaletteFor(DisplayPalette which) {
    static const Palette day = Day(), dusk = Dusk(), night = Night();
    switch (which) {
    case DisplayPalette::Dusk:
        return dusk;
    case DisplayPalette::Night:
        return night;
    case DisplayPalette::Day:
        break;
    }
    return day;
}

QString PaletteName(DisplayPalette which) {
    switch (which) {
    case DisplayPalette::Dusk:
        return "Dusk";
    case DisplayPalette::Night:
        return "Night";
    case DisplayPalette::Day:
        break;
    }
    return "Day";
}

DisplayPalette PaletteNamed(const QString& name) {
    for (DisplayPalette p : {DisplayPalette::Dusk, DisplayPalette::Night})
        if (name.compare(PaletteName(p), Qt::CaseInsensitive) == 0) return p;
    return DisplayPalette::Day;
}

QPalette WidgetPalette(DisplayPalette which, const QPalette& day) {
    if (which == DisplayPalette::Day) return day;
    const bool night = which == DisplayPalette::Night;
    // Window, base, button, text, bright text, highlight, highlighted text, disabled text.
    const QColor window = night ? QColor(22, 14, 6) : QColor(42, 48, 56);
    const QColor base = night ? QColor(10, 6, 2) : QColor(28, 32, 38);
    const QColor button = night ? QColor(40, 26, 10) : QColor(58, 66, 76);
    const QColor text = night ? QColor(190, 122, 44) : QColor(222, 228, 234);
    const QColor highlight = night ? QColor(80, 36, 0) : QColor(52, 100, 150);
    const QColor disabled = night ? QColor(84, 56, 24) : QColor(124, 132, 140);
    QPalette p;
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const QColor ink = g == QPalette::Disabled ? disabled : text;
        p.setColor(g, QPalette::Window, window);
        p.setColor(g, QPalette::WindowText, ink);
        p.setColor(g, QPalette::Base, base);
        p.setColor(g, QPalette::AlternateBase, window);
        p.setColor(g, QPalette::Text, ink);
        p.setColor(g, QPalette::Button, button);
        p.setColor(g, QPalette::ButtonText, ink);
        p.setColor(g, QPalette::BrightText, night ? QColor(220, 60, 0) : QColor(255, 120, 110));
        p.setColor(g, QPalette::Highlight, highlight);
        p.setColor(g, QPalette::HighlightedText, night ? QColor(220, 150, 60) : Qt::white);
        p.setColor(g, QPalette::ToolTipBase, base);
        p.setColor(g, QPalette::ToolTipText, text);
        p.setColor(g, QPalette::PlaceholderText, disabled);
        p.setColor(g, QPalette::Link, night ? QColor(200, 120, 30) : QColor(130, 180, 240));
        p.setColor(g, QPalette::LinkVisited, night ? QColor(160, 90, 30) : QColor(170, 150, 230));
        p.setColor(g, QPalette::Light, button.lighter(150));
        p.setColor(g, QPalette::Midlight, button.lighter(125));
        p.setColor(g, QPalette::Mid, button.darker(130));
        p.setColor(g, QPalette::Dark, button.darker(170));
        p.setColor(g, QPalette::Shadow, QColor(0, 0, 0));
    }
    return p;
}

} // namespace mv
