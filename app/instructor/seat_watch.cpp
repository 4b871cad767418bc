#include "app/instructor/seat_watch.h"

#include "core/number_text.h"
#include "core/vessel.h"

#include <QGridLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QStackedWidget>

#include <algorithm>
#include <cmath>

namespace mv {

namespace {

// A tile's picture: small enough for thirty seats on one screen at 1920 by 1080. The radar
// picture is 2.23 ranges tall to 2 wide (the captions above and below the face), so echoes
// keep their true bearings and the rings stay round.
constexpr int kTileSide = 200;
constexpr double kTall = 2.23 / 2;
constexpr int kCaptionLines = 3;
// The red frame of a seat in alert, pixels.
constexpr int kFrame = 4;

QString Text(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace

RadarMoment SeatMoment(const ClassState& s) {
    RadarMoment m;
    m.Display.Colours = DisplayPalette::Day;
    VesselTables& v = m.Sim.Vessels;
    v.Create(static_cast<int16_t>(s.Vessels.size()));
    v.OwnVessel = static_cast<int16_t>(s.Own);
    for (size_t i = 0; i < s.Vessels.size(); ++i) {
        const ClassVessel& from = s.Vessels[i];
        VesselData& to = v.Vessel[i];
        to.Heading = static_cast<float>(from.Heading);
        // Steady on her heading and speed: the picture of a moment has no manoeuvre under way.
        to.NewHeading = static_cast<int16_t>(std::lround(from.Heading) % 360);
        to.Speed = static_cast<float>(from.Speed);
        to.NewSpeed = to.Speed;
        to.Size = SizeFromType(static_cast<int16_t>(from.Size));
        v.VesselPos[i] = {from.X, from.Y};
    }
    m.Sim.Clock.SimTime = s.SimTime;
    RadarDisplayState& d = m.Display;
    // The rings of the scale nearest the student's range.
    const auto nearest =
        std::min_element(kRangeScales.begin(), kRangeScales.end(), [&s](float a, float b) {
            return std::abs(a - s.Range) < std::abs(b - s.Range);
        });
    d.RangeIndex = static_cast<int16_t>(nearest - kRangeScales.begin());
    SetRadarRange(d, s.Range);
    d.EchoWidth = EchoWidthFor(d.Tick.Range);
    d.Tick.NorthUp = s.Orientation == ClassState::Up::North;
    d.Tick.CourseUp = s.Orientation == ClassState::Up::Course;
    d.Aids.Vectors = static_cast<VectorMode>(s.Vectors);
    const auto minutes = std::find(kVectorMinutes.begin(), kVectorMinutes.end(), s.VectorMinutes);
    if (minutes != kVectorMinutes.end())
        d.Aids.VectorIndex = static_cast<int16_t>(minutes - kVectorMinutes.begin());
    // Shown as the student's unacknowledged alarms are: the instructor sees the danger, not
    // whether the student has silenced it.
    for (const int target : s.Alarms)
        d.Aids.Alarms.Cause[static_cast<size_t>(target)] = AlarmCause::Cpa;
    return m;
}

SeatTile::SeatTile(QWidget* parent) : QWidget(parent) {
    setObjectName("picSeat");
    setCursor(Qt::PointingHandCursor);
    picture_.resize({kTileSide, static_cast<int>(std::lround(kTileSide * kTall))});
    renderer_ = std::make_unique<MomentRenderer>(picture_);
}

SeatTile::~SeatTile() = default;

QSize SeatTile::sizeHint() const {
    return {kTileSide + 2 * kFrame, static_cast<int>(std::lround(kTileSide * kTall)) + 2 * kFrame +
                                        kCaptionLines * fontMetrics().height()};
}

QRect SeatTile::pictureRect() const {
    const int captions = kCaptionLines * fontMetrics().height();
    const int across =
        std::max(16, std::min(width() - 2 * kFrame,
                              static_cast<int>((height() - 2 * kFrame - captions) / kTall)));
    return {(width() - across) / 2, kFrame, across, static_cast<int>(std::lround(across * kTall))};
}

void SeatTile::Show(const ClassSeatRow& row, const QString& aboutAlert) {
    seat_ = row.Seat;
    state_ = row.State;
    alert_ = row.Alert;
    const QString status = Text(StatusName(row.Status));
    captions_ = {row.Student.isEmpty() ? row.Seat : row.Seat + "  " + row.Student};
    if (state_) {
        captions_ << QString("%1  %2  answers %3")
                         .arg(status, Text(FormatClock(state_->SimTime)))
                         .arg(state_->Answers);
    } else {
        captions_ << status + "  no picture yet";
    }
    captions_ << aboutAlert;
    QStringList tip = captions_;
    if (state_ && state_->LastOrder) {
        const ClassOrder& o = *state_->LastOrder;
        tip << QString("orders given %1, the last %2 to %3 at %4 kt at %5")
                   .arg(state_->Orders)
                   .arg(Text(VesselLetter(o.Vessel)))
                   .arg(o.Course, 3, 10, QChar('0'))
                   .arg(o.Speed, 0, 'f', 1)
                   .arg(Text(FormatClock(o.SimTime)));
    }
    if (state_ && state_->Video) tip << Text(VideoDetail(*state_->Video));
    setToolTip(tip.join('\n'));
    Render();
}

void SeatTile::Render() {
    const QRect r = pictureRect();
    if (picture_.size() != r.size() || picture_.devicePixelRatio() != devicePixelRatioF()) {
        picture_.resize(r.size(), devicePixelRatioF());
    }
    // No state yet: the empty face, as the radar shows before an exercise.
    renderer_->Render(state_ ? SeatMoment(*state_) : RadarMoment{});
    image_ = picture_.render();
    update();
}

void SeatTile::resizeEvent(QResizeEvent*) {
    if (pictureRect().size() != picture_.size()) Render();
}

void SeatTile::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    const QRect r = pictureRect();
    p.drawImage(r, image_);
    if (alert_) {
        p.setPen(QPen(Qt::red, kFrame));
        p.setBrush(Qt::NoBrush);
        p.drawRect(
            QRectF(rect()).adjusted(kFrame / 2.0, kFrame / 2.0, -kFrame / 2.0, -kFrame / 2.0));
    }
    const int line = fontMetrics().height();
    for (int i = 0; i < captions_.size(); ++i) {
        p.setPen(i == 2 && alert_ ? QColor(Qt::red) : palette().windowText().color());
        p.drawText(QRect(kFrame, r.bottom() + 1 + i * line, width() - 2 * kFrame, line),
                   Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine,
                   fontMetrics().elidedText(captions_.at(i), Qt::ElideRight, width() - 2 * kFrame));
    }
}

void SeatTile::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked(seat_);
}

SeatWatch::SeatWatch(ClassInstructor& instructor, QWidget* parent)
    : QWidget(parent), instructor_(instructor) {
    setObjectName("fraWatch");
    stack_ = new QStackedWidget(this);
    auto* scroll = new QScrollArea(stack_);
    scroll->setWidgetResizable(true);
    gridPage_ = new QWidget(scroll);
    grid_ = new QGridLayout(gridPage_);
    grid_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    scroll->setWidget(gridPage_);
    big_ = new SeatTile(stack_);
    big_->setObjectName("picEnlarged");
    stack_->addWidget(scroll);
    stack_->addWidget(big_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(stack_);
    connect(big_, &SeatTile::clicked, this, &SeatWatch::picSeat_Click);

    redraw_.setSingleShot(true);
    redraw_.setInterval(kRedrawMs);
    connect(&redraw_, &QTimer::timeout, this, &SeatWatch::Redraw);
    connect(&instructor_, &ClassInstructor::rosterChanged, this, &SeatWatch::Changed);
}

void SeatWatch::Changed(const QString& seat) {
    if (seat.isEmpty())
        allDirty_ = true;
    else
        dirty_.insert(seat);
    if (!redraw_.isActive()) redraw_.start();
}

QString SeatWatch::AboutAlert(const ClassSeatRow& row) const {
    if (!row.Alert || !row.Nearest) return {};
    return QString("CLOSE: %1 at %2 nm")
        .arg(Text(VesselLetter(row.Nearest->Vessel)))
        .arg(row.Nearest->Distance, 0, 'f', 2);
}

void SeatWatch::Redraw() {
    redraw_.stop();
    bool added = false;
    for (const ClassSeatRow& row : instructor_.seats()) {
        SeatTile*& tile = tiles_[row.Seat];
        if (!tile) {
            tile = new SeatTile(gridPage_);
            tile->setObjectName("picSeat(" + row.Seat + ")");
            tile->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
            connect(tile, &SeatTile::clicked, this, &SeatWatch::picSeat_Click);
            added = true;
        } else if (!allDirty_ && !dirty_.contains(row.Seat)) {
            continue;
        }
        tile->Show(row, AboutAlert(row));
        if (row.Seat == bigSeat_) big_->Show(row, AboutAlert(row));
    }
    dirty_.clear();
    allDirty_ = false;
    if (added) Layout();
}

void SeatWatch::Layout() {
    const int across = std::max(1, (width() - 24) / (kTileSide + 2 * kFrame + grid_->spacing()));
    if (across == columns_ && grid_->count() == static_cast<int>(tiles_.size())) return;
    columns_ = across;
    int i = 0;
    // The tiles in seat order, as the room is laid out.
    for (const auto& [seat, tile] : tiles_) {
        grid_->removeWidget(tile);
        grid_->addWidget(tile, i / across, i % across);
        tile->show();
        ++i;
    }
}

void SeatWatch::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Layout();
}

SeatTile* SeatWatch::tile(const QString& seat) const {
    const auto it = tiles_.find(seat);
    return it == tiles_.end() ? nullptr : it->second;
}

void SeatWatch::picSeat_Click(const QString& seat) {
    const ClassSeatRow* row = seat == bigSeat_ ? nullptr : instructor_.seat(seat);
    if (!row) {
        bigSeat_.clear();
        stack_->setCurrentIndex(0);
        return;
    }
    bigSeat_ = seat;
    stack_->setCurrentIndex(1);
    big_->resize(stack_->size());
    big_->Show(*row, AboutAlert(*row));
}

} // namespace mv
