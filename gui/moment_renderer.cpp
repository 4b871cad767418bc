#include "gui/moment_renderer.h"

#include "core/aids/target_aids.h"
#include "core/geometry.h"
#include "core/number_text.h"
#include "core/record/run_replay.h"
#include "gui/radar_items.h"

#include <algorithm>
#include <cmath>

namespace mv {

// What the echo pass asks to be shown, drawn straight into the picture. A recorded moment is
// never stepped, so nothing here moves a vessel, reports a collision (each is an event of the
// record) or has a clock or a True View to show.
class MomentRenderer::View final : public UnseenView {
  public:
    View(MomentRenderer& r) : r_(r) {}
    void ShowIdentity(bool on) override {
        r_.radar_.ShowIdentity(on, r_.sim_.Vessels.NumVessels, r_.sim_.Vessels.OwnVessel);
    }
    void StatusLine(const std::string& text) override {
        r_.radar_.SetCaption(item::lblVesselData, QString::fromStdString(text));
    }
    void PlotClock(const std::string& text) override {
        r_.radar_.SetCaption(item::lblPlotTime, QString::fromStdString(text));
    }
    void CentreOn(const PointD& own) override { r_.radar_.SetRadarScale(own); }
    void ShowEcho(int vessel, const EchoLine& echo) override {
        r_.radar_.ShowEcho(vessel, echo, r_.radar_.colours().echo);
    }
    void HideEcho(int vessel) override { r_.radar_.HideEcho(vessel); }
    void PlotMark(int, const EchoLine& echo) override { r_.radar_.PlotMark(echo); }
    void OwnLabel(int vessel, const PointD& position) override {
        r_.picture_.moveLabel(item::lblVessel(vessel), position.Y, position.X);
    }
    void HeadingLine(const PointD& from, const PointD& to) override {
        r_.radar_.HeadingLine(from, to);
    }
    void CardinalLabels(const std::array<std::string, 4>& captions) override {
        r_.radar_.CardinalLabels(captions);
    }

  private:
    MomentRenderer& r_;
};

std::vector<TrackView> TracksOf(const RunRecord& run, std::size_t index, double vectorMinutes) {
    std::vector<TrackView> views;
    if (index >= run.Ticks.size()) return views;
    const RunTick& now = run.Ticks[index];
    const auto own = static_cast<std::size_t>(now.OwnVessel);
    if (own >= now.Vessels.size()) return views;
    constexpr double kDegrees = 3.14159265358979323846 / 180.0;
    const auto velocity = [](double course, double speed) {
        return PointD{speed * std::cos(course * kDegrees), speed * std::sin(course * kDegrees)};
    };
    // Through the water: the record keeps no current, so a relative vector in a current is
    // drawn as the own ship's heading and speed make it.
    const PointD ownV = velocity(now.Vessels[own].Heading, now.Vessels[own].Speed);
    const double hours = vectorMinutes / 60.0;
    constexpr double kPastDays = 60.0 / 86400; // a past position each minute, as the tracker's
    for (const RunTrack& r : now.Tracks) {
        TrackView v;
        v.Id = r.Id;
        v.State = static_cast<TrackState>(std::clamp(r.State, 0, 2));
        v.Trend = r.Trend;
        v.Prediction = r.Prediction;
        v.LastPlot = r.Pos;
        TargetAid& a = v.Aid;
        a.Vessel = r.Id;
        a.Position = r.Pos;
        a.Course = r.Course;
        a.Speed = r.Speed;
        a.Cpa.CPA = static_cast<float>(r.Cpa);
        a.Cpa.TCPA = r.Tcpa;
        const PointD trackV = velocity(r.Course, r.Speed);
        a.TrueEnd = {r.Pos.X + trackV.X * hours, r.Pos.Y + trackV.Y * hours};
        a.RelativeEnd = {r.Pos.X + (trackV.X - ownV.X) * hours,
                         r.Pos.Y + (trackV.Y - ownV.Y) * hours};
        // Back through the moments before, the track's place at each whole minute past.
        double due = now.SimTime - kPastDays;
        for (std::size_t k = index; k-- > 0 && v.Past.size() < 4;) {
            const RunTick& then = run.Ticks[k];
            if (then.SimTime > due) continue;
            const auto at = std::find_if(then.Tracks.begin(), then.Tracks.end(),
                                         [&r](const RunTrack& t) { return t.Id == r.Id; });
            if (at == then.Tracks.end() || at->State == 2) break; // not yet, or a track since
            v.Past.push_back(at->Pos);
            due -= kPastDays;
        }
        views.push_back(std::move(v));
    }
    return views;
}

RadarMoment MomentOf(const RunRecord& run, std::size_t index, const AlarmState& alarms,
                     DisplayPalette colours) {
    return MomentOf(run, PlotHistory(run), index, alarms, colours);
}

RadarMoment MomentOf(const RunRecord& run, const PlotHistory& plots, std::size_t index,
                     const AlarmState& alarms, DisplayPalette colours) {
    RadarMoment m;
    m.Display.Colours = colours;
    if (run.Ticks.empty()) return m;
    index = std::min(index, run.Ticks.size() - 1);
    const RunTick& now = run.Ticks[index];
    ApplyDisplay(now.Display, m.Display);
    m.Display.Aids.Alarms = alarms;
    PlaceMoment(run, index, m.Sim.Vessels);
    m.PlotTime = plots.TimeAt(index);
    // ARPA was on when the moment holds tracks; with it on the truth's vectors were not shown.
    m.Display.Aids.Arpa = !now.Tracks.empty();
    m.Tracks = TracksOf(run, index, m.Display.Aids.VectorMinutes());
    for (const RunTrack& t : now.Tracks)
        if (t.Danger) m.TrackAlerts.push_back({TrackAlertKind::Danger, t.Id, t.Acknowledged});
    // The plot marks that stood in the picture then, each where it lay from the own vessel.
    const PointD ownNow = m.Sim.Vessels.VesselPos[static_cast<size_t>(now.OwnVessel)];
    VesselTables then;
    for (const std::size_t k : plots.Moments(index)) {
        if (k == index) break; // the echo pass marks the present moment itself
        PlaceMoment(run, k, then);
        const PointD ownThen = then.VesselPos[static_cast<size_t>(then.OwnVessel)];
        for (int i = 0; i < then.NumVessels; ++i) {
            if (i == then.OwnVessel) continue;
            const PointD& pos = then.VesselPos[static_cast<size_t>(i)];
            if (m.Display.Tick.TrueTrails) {
                m.TrailPoints.emplace_back(i, pos);
                continue;
            }
            float bearing = 0.0f;
            double distance = 0.0;
            GetVector(ownThen, pos, bearing, distance);
            if (auto echo = EchoGeometry(then, i, m.Display.Tick, bearing, distance)) {
                const double dx = ownNow.X - ownThen.X, dy = ownNow.Y - ownThen.Y;
                for (PointD* p : {&echo->P1, &echo->P2, &echo->Centre}) {
                    p->X += dx;
                    p->Y += dy;
                }
                m.PlotMarks.emplace_back(i, *echo);
            }
        }
    }
    return m;
}

MomentRenderer::MomentRenderer(WorldPicture& picture)
    : picture_(picture), radar_(picture, display_), aids_(picture),
      tracks_(picture, TrackerSettings{}.Capacity), view_(std::make_unique<View>(*this)) {
    radar_.ShowStartItems();
    radar_.ShowDisplayItems();
    radar_.ShowColours();
}

MomentRenderer::~MomentRenderer() = default;

void MomentRenderer::Render(const RadarMoment& moment) {
    sim_ = moment.Sim;
    display_ = moment.Display;
    radar_.ShowColours();
    const VesselTables& v = sim_.Vessels;
    const bool loaded = v.NumVessels > 0;
    const PointD own = sim_.OwnPosition();

    // The full redraw: face, rings, captions and the range ring about the own vessel.
    PrepareFullRedraw(display_, own);
    radar_.RedrawRadar(own);
    radar_.SetCaption(item::lblCRTRange, QString::fromStdString(RangeCaption(display_.Tick.Range)));
    radar_.PlaceVRM(own);
    picture_.setVisible(item::lblNoExercise, !loaded);
    picture_.moveLabel(item::lblNoExercise, own.Y - picture_.labelWidth(item::lblNoExercise) / 2,
                       own.X + 0.2 * display_.Tick.Range);

    // The marks of earlier moments, then the echoes of this one, which stamp its own marks.
    for (const auto& [vessel, point] : moment.TrailPoints)
        display_.Tick.Trails.Add(vessel, point);
    for (const auto& [vessel, echo] : moment.PlotMarks)
        radar_.PlotMark(echo);
    for (int i = 0; i < kMaxVessels; ++i)
        picture_.setVisible(item::lneVessel(i), false);
    if (loaded) sim_.UpdateVessels(display_.Tick, *view_, false);

    radar_.ShowDisplayItems();
    const VesselData* ownVessel = loaded ? &v.Vessel[static_cast<size_t>(v.OwnVessel)] : nullptr;
    radar_.PlaceEBL(own, ownVessel ? ownVessel->Heading : 0.0f,
                    ownVessel ? static_cast<float>(ownVessel->NewHeading) : 0.0f);
    if (ownVessel)
        radar_.SetCaption(item::lblVesselData, QString::fromStdString(StatusLineText(*ownVessel)));
    radar_.SetCaption(item::lblPlotTime, QString::fromStdString(FormatClock(moment.PlotTime)));

    // The aids that were on: vectors, true trails, picks, the guard ring and the targets in
    // danger, acknowledged or not as the student had them.
    std::vector<TargetAid> aids;
    for (int i = 0; i < v.NumVessels; ++i)
        if (i != v.OwnVessel) aids.push_back(ComputeTargetAid(v, i, display_.Aids.VectorMinutes()));
    aids_.Show(sim_, display_, aids);
    // The tracker's symbols over the truth's echoes; a danger steady, as acknowledged or not.
    tracks_.Show(sim_, display_, moment.Tracks, moment.TrackAlerts, true);
}

QImage RenderMoment(const RunRecord& run, std::size_t index, QSize size, DisplayPalette colours,
                    qreal devicePixelRatio) {
    WorldPicture picture;
    picture.resize(size, devicePixelRatio);
    MomentRenderer renderer(picture);
    const AlarmState alarms = run.Ticks.empty() ? AlarmState{} : AlarmsAt(run, index);
    renderer.Render(MomentOf(run, index, alarms, colours));
    return picture.render();
}

} // namespace mv
