#include "app/index_lines_window.h"

#include "app/window_text.h"
#include "core/number_text.h"
#include "gui/control_rows.h"
#include "gui/numeric_entry.h"
#include "gui/radar_items.h"
#include "gui/tool_place.h"
#include "gui/world_picture_widget.h"
#include "session/dialogs.h"
#include "session/exercise.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mv {

namespace {

constexpr FigureWidth kFigureWidth{"000.0", 14};
// The longest line worth laying: across the largest picture.
constexpr double kMaxLength = 72.0;

QString LengthText(double v) {
    return Q(PlainNumberText(v));
}

} // namespace

IndexLinesWindow::IndexLinesWindow(Exercise& exercise, Dialogs& dialogs,
                                   WorldPictureWidget& picture, PlotOverlays& overlays,
                                   QWidget* parent)
    : QWidget(parent, Qt::Tool), exercise_(exercise), dialogs_(dialogs), picture_(picture),
      overlays_(overlays) {
    setObjectName("frmIndexLines");
    setWindowTitle("Parallel Index Lines");
    setProperty("helpPage", kIndexLinesHelpPage);
    filter_ = new NumericEntryFilter(this);
    auto* column = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    column->addLayout(grid);
    const char* heads[] = {"Line", "Bearing (T)", "Distance (nm)", "Side", "Length (nm)"};
    for (int c = 0; c < 5; ++c)
        grid->addWidget(new QLabel(heads[c], this), 0, c, Qt::AlignCenter);
    for (int i = 0; i < kIndexLineCount; ++i) {
        Row& r = rows_[static_cast<size_t>(i)];
        const auto name = [i](const char* base) { return QString("%1(%2)").arg(base).arg(i); };
        r.On = new QCheckBox(QString("PI &%1").arg(i + 1), this);
        r.On->setObjectName(name("chkIndexLine"));
        r.On->setToolTip("Show this line on the picture");
        r.Bearing = FigureEntry(name("txtBearing"), kFigureWidth, this);
        r.Bearing->setToolTip("The true direction the line runs in, degrees");
        r.Offset = FigureEntry(name("txtOffset"), kFigureWidth, this);
        r.Offset->setToolTip("How far the line passes from the own ship, nautical miles");
        r.Side = new QComboBox(this);
        r.Side->setObjectName(name("cboSide"));
        r.Side->addItems({"Right", "Left"});
        r.Side->setToolTip("The side of the line's direction it lies on: looking along 000, "
                           "Right is to the east");
        r.Length = FigureEntry(name("txtLength"), kFigureWidth, this);
        r.Length->setToolTip("Nautical miles, centred abeam of the own ship; 0 across the picture");
        for (QLineEdit* f : {r.Bearing, r.Offset, r.Length}) {
            filter_->watch(f, "frmIndexLines");
            // Enter in a figure takes the figures, as Apply does.
            connect(f, &QLineEdit::returnPressed, this, &IndexLinesWindow::cmdApply_Click);
        }
        QPushButton* through =
            MakeButton(name("cmdThroughCursor"), "Through &cursor", ButtonUse::NotOnEnter, this);
        if (i > 0) through->setText("Through cursor");
        through->setToolTip("Lay this line at its bearing through the cursor's place on the "
                            "picture (click the picture in Cursor mode first)");
        connect(through, &QPushButton::clicked, this, [this, i] { cmdThroughCursor_Click(i); });
        grid->addWidget(r.On, i + 1, 0);
        grid->addWidget(r.Bearing, i + 1, 1);
        grid->addWidget(r.Offset, i + 1, 2);
        grid->addWidget(r.Side, i + 1, 3);
        grid->addWidget(r.Length, i + 1, 4);
        grid->addWidget(through, i + 1, 5);
        connect(r.On, &QCheckBox::clicked, this, &IndexLinesWindow::cmdApply_Click);
    }
    auto* buttons = new QHBoxLayout;
    column->addLayout(buttons);
    ButtonRow<IndexLinesWindow> row(buttons, ButtonUse::NotOnEnter, this, this);
    row.add("cmdApply", "&Apply", &IndexLinesWindow::cmdApply_Click);
    row.addStretch();
    row.add("cmdIndexClose", "C&lose", &QWidget::hide);
    FillRows();
}

void IndexLinesWindow::FillRows() {
    for (int i = 0; i < kIndexLineCount; ++i) {
        const IndexLine& line = exercise_.display().Index[static_cast<size_t>(i)];
        Row& r = rows_[static_cast<size_t>(i)];
        r.On->setChecked(line.On);
        r.Bearing->setText(Q(DirectionText(line.Bearing)));
        r.Offset->setText(Q(FormatNumber(std::fabs(line.Offset), "#0.00")));
        r.Side->setCurrentIndex(line.Offset < 0 ? 1 : 0);
        r.Length->setText(LengthText(line.Length));
    }
}

std::optional<IndexLine> IndexLinesWindow::ReadRow(int i) {
    Row& r = rows_[static_cast<size_t>(i)];
    const QString title = QString("Index line %1").arg(i + 1);
    const auto fail = [&](QLineEdit* field, const QString& text) {
        dialogs_.message(text, title, Dialogs::Icon::Exclamation);
        field->setFocus();
        field->selectAll();
        return std::nullopt;
    };
    const auto bearing = ParseNumber(r.Bearing->text().toStdString());
    if (!bearing || !(*bearing >= 0 && *bearing < 360))
        return fail(r.Bearing, "The bearing must be from 0 to 359.9 degrees true.");
    const auto offset = ParseNumber(r.Offset->text().toStdString());
    if (!offset || !(*offset >= 0 && *offset <= kRangeScales.back()))
        return fail(r.Offset, QString("The distance must be from 0 to %1 nautical miles.")
                                  .arg(static_cast<double>(kRangeScales.back())));
    const QString lengthText = r.Length->text().trimmed();
    const auto length =
        lengthText.isEmpty() ? std::optional<double>(0) : ParseNumber(lengthText.toStdString());
    if (!length || !(*length >= 0 && *length <= kMaxLength))
        return fail(r.Length, QString("The length must be from 0 (across the picture) to %1 "
                                      "nautical miles.")
                                  .arg(kMaxLength));
    IndexLine line;
    line.On = r.On->isChecked();
    line.Bearing = static_cast<float>(*bearing);
    line.Offset = r.Side->currentIndex() == 1 ? -*offset : *offset;
    line.Length = *length;
    return line;
}

void IndexLinesWindow::cmdApply_Click() {
    // Every row read first: a figure at fault changes no line, and the check marks go back.
    IndexLines lines;
    for (int i = 0; i < kIndexLineCount; ++i) {
        const auto line = ReadRow(i);
        if (!line) {
            const IndexLines& kept = exercise_.display().Index;
            for (int k = 0; k < kIndexLineCount; ++k)
                rows_[static_cast<size_t>(k)].On->setChecked(kept[static_cast<size_t>(k)].On);
            return;
        }
        lines[static_cast<size_t>(i)] = *line;
    }
    if (!exercise_.display().Aids.Allowed.IndexLines)
        for (IndexLine& l : lines)
            l.On = false;
    exercise_.display().Index = lines;
    FillRows(); // the figures as the legend gives them
    exercise_.NotifyChanged();
}

void IndexLinesWindow::cmdThroughCursor_Click(int i) {
    if (!exercise_.isLoaded()) return;
    WorldPicture& pic = picture_.picture();
    const Simulation& sim = exercise_.simulation();
    const VesselTables& v = sim.Vessels;
    // Where the cursor stands on the screen now: its cross stays put on the picture while the
    // own ship moves on under it.
    const QPointF pixel = pic.overlayLine(item::lneHCursor).center();
    const QPointF world = pic.toWorld(pixel);
    const PointD own = v.VesselPos[static_cast<size_t>(v.OwnVessel)];
    const double east = world.x() - own.Y, north = world.y() - own.X;
    const double distance = std::hypot(east, north);
    if (!pic.isVisible(item::lneHCursor) || distance < 0.001 * exercise_.display().Tick.Range) {
        dialogs_.message("Put the cursor on the echo first: choose Cursor mode and click the "
                         "echo on the picture.",
                         QString("Index line %1").arg(i + 1), Dialogs::Icon::Exclamation);
        return;
    }
    // From the picture's turn back to true directions.
    const double up =
        PictureUp(v.Vessel[static_cast<size_t>(v.OwnVessel)], exercise_.display().Tick);
    const double bearing = std::atan2(east, north) + up * std::numbers::pi / 180.0;
    const PointD point{distance * std::cos(bearing), distance * std::sin(bearing)};
    auto line = ReadRow(i);
    if (!line) return;
    line->Offset = OffsetThrough(line->Bearing, point);
    line->On = exercise_.display().Aids.Allowed.IndexLines;
    Row& r = rows_[static_cast<size_t>(i)];
    r.On->setChecked(line->On);
    r.Offset->setText(Q(FormatNumber(std::fabs(line->Offset), "#0.00")));
    r.Side->setCurrentIndex(line->Offset < 0 ? 1 : 0);
    exercise_.display().Index[static_cast<size_t>(i)] = *line;
    exercise_.NotifyChanged();
}

void IndexLinesWindow::ShowLines() {
    overlays_.ShowIndexLines(exercise_.simulation(), exercise_.display(),
                             PaletteFor(exercise_.display().Colours));
    picture_.update();
}

void IndexLinesWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    PlaceOverColumnOnce(*this, ColumnSpot::Middle);
    FillRows();
    activateWindow();
    rows_[0].Bearing->setFocus();
    rows_[0].Bearing->selectAll();
    exercise_.NotifyChanged();
}

void IndexLinesWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    exercise_.NotifyChanged();
}

} // namespace mv
