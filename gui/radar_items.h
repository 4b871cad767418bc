#pragma once
// The items inside the radar picture, under the names a tester finds them by: each name is
// written here once, and the console and the picture refer to it through these constants, so
// a misspelt name does not compile.

#include "core/vessel.h"
#include "gui/world_picture.h"

#include <QString>

#include <array>

namespace mv {

namespace item {
// Bearing-scale captions at the top, right, bottom and left edge.
inline const QString lbl000 = QStringLiteral("lbl000");
inline const QString lbl090 = QStringLiteral("lbl090");
inline const QString lbl180 = QStringLiteral("lbl180");
inline const QString lbl270 = QStringLiteral("lbl270");
// Read-outs.
inline const QString lblCRTRange = QStringLiteral("lblCRTRange");
inline const QString lblCRTEBL = QStringLiteral("lblCRTEBL");
inline const QString lblCRTVRM = QStringLiteral("lblCRTVRM");
// The second pair's, and the offset second EBL's origin from the own vessel.
inline const QString lblCRTEBL2 = QStringLiteral("lblCRTEBL2");
inline const QString lblCRTVRM2 = QStringLiteral("lblCRTVRM2");
inline const QString lblEBL2Origin = QStringLiteral("lblEBL2Origin");
inline const QString lblRange = QStringLiteral("lblRange");     // cursor range
inline const QString lblBearing = QStringLiteral("lblBearing"); // cursor bearing
inline const QString lblPlot = QStringLiteral("lblPlot");
inline const QString lblPlotTime = QStringLiteral("lblPlotTime");
inline const QString lblVesselData = QStringLiteral("lblVesselData");
inline const QString lblMode = QStringLiteral("lblMode");
inline const QString lblRR = QStringLiteral("lblRR");
// The vectors shown with their time, and what they are stabilised to (ground or sea).
inline const QString lblVector = QStringLiteral("lblVector");
inline const QString lblStabilisation = QStringLiteral("lblStabilisation");
// Said in the middle of the picture while no exercise could be loaded.
inline const QString lblNoExercise = QStringLiteral("lblNoExercise");
// Ship's heading line, the markers and the cursor cross.
inline const QString lneSHL = QStringLiteral("lneSHL");
inline const QString lneEBL = QStringLiteral("lneEBL");
inline const QString shpVRM = QStringLiteral("shpVRM");
inline const QString lneEBL2 = QStringLiteral("lneEBL2");
inline const QString shpVRM2 = QStringLiteral("shpVRM2");
inline const QString lneHCursor = QStringLiteral("lneHCursor");
inline const QString lneVCursor = QStringLiteral("lneVCursor");
// Echo line and identification label of vessel slot 0 to 5: "lneVessel(2)".
QString lneVessel(int slot);
QString lblVessel(int slot);
// A slot's name from a pattern with one %1, each of the six slots' made once: a range step
// asks for them some hundreds of times.
template <typename Made> QString SlotName(int slot, Made make) {
    static const auto made = [&] {
        std::array<QString, kMaxVessels> names;
        for (int i = 0; i < static_cast<int>(names.size()); ++i)
            names[static_cast<size_t>(i)] = make(i);
        return names;
    }();
    return slot >= 0 && slot < static_cast<int>(made.size()) ? made[static_cast<size_t>(slot)]
                                                             : make(slot);
}
} // namespace item

// Declares every item above in a radar picture, each hidden until the console shows it.
void DeclareRadarItems(WorldPicture& picture);

} // namespace mv
