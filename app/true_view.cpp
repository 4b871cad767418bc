#include "app/true_view.h"

#include "core/display/true_view_logic.h"
#include "gui/palette.h"
#include "gui/radar_items.h"
#include "gui/world_picture_widget.h"
#include "session/exercise.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace mv {

void item::DeclareTrueViewItems(WorldPicture& picture) {
    for (int i = 0; i < kMaxVessels; ++i) {
        picture.declare(lblVessel(i), WorldPicture::ItemKind::Label, false);
        // The letters of the console's vessel buttons: A for slot 0, then B to F.
        picture.setLabel(lblVessel(i), QString::fromStdString(VesselLetter(i)),
                         PaletteFor(DisplayPalette::Day).trueTarget);
    }
    picture.declare(lblTrueScale, WorldPicture::ItemKind::Label);
}

TrueView::TrueView(Exercise& exercise, QWidget* parent)
    : QWidget(parent, Qt::Tool), exercise_(exercise), display_(exercise.display()) {
    setObjectName("frmTrueView");
    setWindowTitle("True View");
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    pnlToolBar_ = new QFrame(this);
    pnlToolBar_->setObjectName("pnlToolBar");
    pnlToolBar_->setFrameShape(QFrame::StyledPanel);
    auto* bar = new QHBoxLayout(pnlToolBar_);
    bar->setContentsMargins(4, 3, 4, 3);
    bar->setSpacing(4);
    const auto button = [&](const char* name, const QString& caption, const QString& tip,
                            void (TrueView::*slot)()) {
        auto* b = new QPushButton(caption, pnlToolBar_);
        b->setObjectName(name);
        b->setToolTip(tip);
        b->setFocusPolicy(Qt::TabFocus);
        connect(b, &QPushButton::clicked, this, slot);
        bar->addWidget(b);
        return b;
    };
    for (QPushButton* b : {button("cmdDecreaseTrueRange", "-", "Shorter range: a closer view",
                                  &TrueView::cmdDecreaseTrueRange_Click),
                           button("cmdIncreaseTrueRange", "+", "Longer range: a wider view",
                                  &TrueView::cmdIncreaseTrueRange_Click)})
        b->setFixedWidth(b->sizeHint().height() + 6);
    button("cmdCenter", "Center", "Centre the view on the own vessel and clear the tracks",
           &TrueView::cmdCenter_Click);
    button("cmdGrid", "Grid", "Reference grid on or off", &TrueView::cmdGrid_Click);
    button("Command1", "Repeat", "Start the exercise again from its beginning",
           &TrueView::Command1_Click);
    bar->addStretch(1);
    column->addWidget(pnlToolBar_);

    picTrueCRT_ = new WorldPictureWidget(this);
    picTrueCRT_->setObjectName("picTrueCRT");
    picTrueCRT_->picture().setBackground(PaletteFor(display_.Colours).trueSea);
    picTrueCRT_->picture().clear();
    item::DeclareTrueViewItems(picTrueCRT_->picture());
    column->addWidget(picTrueCRT_, 1);
    connect(picTrueCRT_, &WorldPictureWidget::pictureResized, this, [this] {
        if (display_.Tick.TrueViewOn) ResetTrueView();
    });
    // Another palette: the sea, tracks and letters in its colours (the tracks start afresh).
    connect(&exercise_, &Exercise::changed, this, [this] {
        if (shownColours_ == display_.Colours) return;
        shownColours_ = display_.Colours;
        picture().setBackground(PaletteFor(display_.Colours).trueSea);
        ShowLabelColours();
        ResetTrueView();
        if (display_.Tick.TrueViewOn) picTrueCRT_Paint();
    });
}

WorldPicture& TrueView::picture() {
    return picTrueCRT_->picture();
}

void TrueView::ToggleTrueView() {
    // Closed by its frame or opened by a command: every view of the command follows.
    const Exercise::ChangeScope change(exercise_);
    display_.Tick.TrueViewOn = !display_.Tick.TrueViewOn;
    ResetTrueView();
    if (!display_.Tick.TrueViewOn) {
        hide();
        return;
    }
    PlaceOverMainWindow();
    show();
    raise();
    PlaceOverMainWindow(); // now that the frame is known
    // A window manager adds its title bar a moment after the window maps: placed once more
    // then, the frame stays inside the working area.
    if (!placedFramed_) {
        placedFramed_ = true;
        QTimer::singleShot(250, this, [this] {
            if (isVisible()) PlaceOverMainWindow();
        });
    }
    exercise_.PassOnce();
    picTrueCRT_Paint();
}

void TrueView::PlaceOverMainWindow() {
    QWidget* top = parentWidget() ? parentWidget()->window() : nullptr;
    if (!top) return;
    QWidget* area = top;
    if (auto* main = qobject_cast<QMainWindow*>(top); main && main->centralWidget())
        area = main->centralWidget();
    const QRect client(area->mapToGlobal(QPoint(0, 0)), area->size());
    const QScreen* s = top->screen();
    const QRect work = s ? s->availableGeometry() : client;
    if (!sized_) {
        // The picture itself square, so that courses cross the grid at their true angles: a
        // third of the working height, never wider than a third of the window.
        const int side = std::max(
            160,
            static_cast<int>(std::lround(std::min(0.45 * client.height(), client.width() / 3.0))));
        resize(side, side + pnlToolBar_->sizeHint().height());
        sized_ = true;
    }
    // At the bottom right of the radar picture's frame, over the corner of the picture with
    // the fewest read-outs (the cursor's, in cursor mode alone) and clear of the control
    // column; then pulled inside the screen's working area, frame and all.
    int right = client.right();
    if (const QWidget* column = parentWidget()->findChild<QWidget*>("picControls"))
        if (column->isVisible()) right = column->mapToGlobal(QPoint(0, 0)).x() - 1;
    const QRect frame = frameGeometry();
    const QPoint inset = pos() - frame.topLeft(); // title bar and border
    QRect want(QPoint(right + 1 - frame.width(), client.bottom() + 1 - frame.height()),
               frame.size());
    want.moveLeft(std::clamp(want.left(), work.left(),
                             std::max(work.left(), work.right() + 1 - want.width())));
    want.moveTop(std::clamp(want.top(), work.top(),
                            std::max(work.top(), work.bottom() + 1 - want.height())));
    move(want.topLeft() + inset);
}

void TrueView::ResetTrueView() {
    auto& pic = picture();
    pic.clear();
    // Letters that read alike at any window size.
    QFont font = pic.labelFont();
    font.setBold(true);
    font.setPixelSize(std::clamp(pic.size().height() / 36, 10, 28));
    pic.setLabelFont(font);
    const TrueViewWindow w = CenteredTrueViewWindow(exercise_.ownPos(), display_.TVRange);
    pic.setWindow(w.Left, w.Top, w.Width, w.Height);
    if (display_.TVGridOn) DrawTrueViewGrid();
    setWindowTitle(QString::fromStdString(TrueViewCaption(display_.TVGridOn, display_.TVRange)));
    // The scale in the top left corner: nautical miles from the centre to each edge.
    pic.setLabel(
        item::lblTrueScale,
        QString("%1 nm to edge")
            .arg(QString::fromStdString(RangeFigure(static_cast<float>(display_.TVRange)))),
        PaletteFor(display_.Colours).trueTrack);
    pic.moveLabel(item::lblTrueScale, w.Left + 4 * pic.unitsPerPixelX(),
                  w.Top + 2 * pic.unitsPerPixelY());
    PlaceLabels();
    picTrueCRT_->update();
}

void TrueView::DrawTrueViewGrid() {
    auto& pic = picture();
    const TrueViewWindow w{pic.left(), pic.top(), pic.width(), pic.height()};
    std::vector<WorldPicture::Segment> strokes;
    for (const GridLine& g : TrueViewGridLines(w, display_.TVRange))
        strokes.push_back({g.From.Y, g.From.X, g.To.Y, g.To.X});
    pic.setPenWidth(1);
    pic.lines(strokes, PaletteFor(display_.Colours).trueGrid);
}

void TrueView::ClearTrueView() {
    if (!display_.Tick.TrueViewOn) return;
    picture().clear();
    // The grid is the chart the tracks are read against; it stays. A new scenario puts the
    // view's range back to 12 nm, so the title gives the grid spacing afresh.
    if (display_.TVGridOn) {
        DrawTrueViewGrid();
        setWindowTitle(QString::fromStdString(TrueViewCaption(true, display_.TVRange)));
    }
    picTrueCRT_->update();
}

void TrueView::PlaceLabels() {
    const Simulation& sim = exercise_.simulation();
    auto& pic = picture();
    for (int i = 0; i < sim.Vessels.NumVessels && i < kMaxVessels; ++i) {
        const QString name = item::lblVessel(i);
        const PointD corner = TrueViewLabelCorner(sim.Vessels.VesselPos[static_cast<size_t>(i)],
                                                  pic.labelWidth(name), pic.labelHeight(name));
        pic.moveLabel(name, corner.Y, corner.X);
    }
}

void TrueView::TrueViewMark(int vessel, const PointD& position) {
    auto& pic = picture();
    const QString name = item::lblVessel(vessel);
    const PointD corner =
        TrueViewLabelCorner(position, pic.labelWidth(name), pic.labelHeight(name));
    pic.moveLabel(name, corner.Y, corner.X);
    pic.point(position.Y, position.X, PaletteFor(display_.Colours).trueTrack);
    picTrueCRT_->update();
}

void TrueView::picTrueCRT_Paint() {
    if (!display_.Tick.TrueViewOn) return;
    const Simulation& sim = exercise_.simulation();
    for (int i = 0; i < sim.Vessels.NumVessels; ++i) {
        const PointD& p = sim.Vessels.VesselPos[static_cast<size_t>(i)];
        picture().point(p.Y, p.X, PaletteFor(display_.Colours).trueOwn);
    }
    picTrueCRT_->update();
}

void TrueView::ShowLabel(int slot, bool visible) {
    picture().setVisible(item::lblVessel(slot), visible);
}

void TrueView::ShowLabelColours() {
    const Palette& c = PaletteFor(display_.Colours);
    const int own = exercise_.simulation().Vessels.OwnVessel;
    for (int i = 0; i < kMaxVessels; ++i)
        picture().setColour(item::lblVessel(i), i == own ? c.trueOwn : c.trueTarget);
}

void TrueView::cmdDecreaseTrueRange_Click() {
    if (TrueViewRangeDown(display_)) ResetTrueView();
}

void TrueView::cmdIncreaseTrueRange_Click() {
    if (TrueViewRangeUp(display_)) ResetTrueView();
}

void TrueView::cmdCenter_Click() {
    ResetTrueView();
    exercise_.PassOnce();
}

void TrueView::cmdGrid_Click() {
    display_.TVGridOn = !display_.TVGridOn;
    ResetTrueView();
}

void TrueView::Command1_Click() {
    emit repeatPressed();
}

void TrueView::closeEvent(QCloseEvent* event) {
    // Hidden, never destroyed: the scale and grid are there at the next opening.
    event->ignore();
    if (display_.Tick.TrueViewOn) ToggleTrueView();
}

} // namespace mv
