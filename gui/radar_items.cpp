#include "gui/radar_items.h"

#include "core/vessel.h"

namespace mv {

QString item::lneVessel(int slot) {
    return SlotName(slot, [](int i) { return QStringLiteral("lneVessel(%1)").arg(i); });
}
QString item::lblVessel(int slot) {
    return SlotName(slot, [](int i) { return QStringLiteral("lblVessel(%1)").arg(i); });
}

void DeclareRadarItems(WorldPicture& picture) {
    using Kind = WorldPicture::ItemKind;
    for (const QString* name :
         {&item::lbl000,        &item::lbl090,     &item::lbl180,      &item::lbl270,
          &item::lblCRTRange,   &item::lblCRTEBL,  &item::lblCRTVRM,   &item::lblRange,
          &item::lblBearing,    &item::lblPlot,    &item::lblPlotTime, &item::lblVesselData,
          &item::lblMode,       &item::lblRR,      &item::lblVector,   &item::lblStabilisation,
          &item::lblNoExercise, &item::lblCRTEBL2, &item::lblCRTVRM2,  &item::lblEBL2Origin})
        picture.declare(*name, Kind::Label, false);
    for (const QString* name :
         {&item::lneSHL, &item::lneEBL, &item::lneEBL2, &item::lneHCursor, &item::lneVCursor})
        picture.declare(*name, Kind::Line, false);
    for (const QString* name : {&item::shpVRM, &item::shpVRM2})
        picture.declare(*name, Kind::Circle, false);
    for (int i = 0; i < kMaxVessels; ++i) {
        picture.declare(item::lneVessel(i), Kind::Line, false);
        picture.declare(item::lblVessel(i), Kind::Label, false);
    }
}

} // namespace mv
