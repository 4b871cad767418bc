#include "gui/world_picture_widget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QResizeEvent>

#include <cstdlib>

namespace mv {

PictureItem::PictureItem(WorldPicture& picture, const QString& name, QObject* parent)
    : QObject(parent), picture_(picture) {
    setObjectName(name);
}

WorldPictureWidget::WorldPictureWidget(QWidget* parent) : QWidget(parent) {
    picture_.setDeclareObserver(
        [this](const QString& name) { new PictureItem(picture_, name, this); });
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(50, 50);
    settle_.setSingleShot(true);
    settle_.setInterval(120);
    connect(&settle_, &QTimer::timeout, this, [this] { takeSize(); });
}

QPoint WorldPictureWidget::origin() const {
    // Whole logical pixels, so that the image is still copied rather than resampled.
    const QSize spare = size() - picture_.size();
    return {spare.width() / 2, spare.height() / 2};
}

void WorldPictureWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (picture_.size() != size()) {
        // During a drag: the picture as it last was, centred, and its background colour in
        // the margin it leaves (only there: a 4K picture is 15 MB to fill).
        const QRect shown(origin(), picture_.size());
        const QColor background = picture_.image().pixelColor(0, 0);
        for (const QRect& margin : QRegion(rect()).subtracted(shown))
            painter.fillRect(margin, background);
        painter.setClipRect(shown);
        painter.translate(shown.topLeft());
    }
    picture_.paint(painter);
}

void WorldPictureWidget::setDragPace(int ms) {
    dragPaceMs_ = ms;
    settle_.setInterval(ms + ms / 5);
}

void WorldPictureWidget::showEvent(QShowEvent* event) {
    // The top-level window may have changed since the last show (a console docked or not).
    window()->installEventFilter(this);
    QWidget::showEvent(event);
}

bool WorldPictureWidget::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && watched == window()) {
        // Only the window system's resizes are the user's drag; one the program makes (a
        // layout, a test) takes effect at once.
        dragged_ = event->spontaneous() && lastWindowResize_.isValid() &&
                   lastWindowResize_.elapsed() < dragPaceMs_;
        lastWindowResize_.start();
    }
    return QWidget::eventFilter(watched, event);
}

void WorldPictureWidget::resizeEvent(QResizeEvent* event) {
    // A drag of the window's edge resizes the picture many times a second, a few pixels at a
    // time, and drawing it afresh at every step costs most of a 60 Hz frame on a 4K screen.
    // So while the user drags, the picture keeps its last size and takes the new one once the
    // edge has rested for a moment; any other resize (a maximise, a layout, the first show)
    // takes effect at once.
    constexpr int kStepPixels = 48;
    const QSize step = event->size() - event->oldSize();
    const bool dragging = dragged_ && isVisible() && event->oldSize().isValid() &&
                          std::abs(step.width()) <= kStepPixels &&
                          std::abs(step.height()) <= kStepPixels &&
                          picture_.devicePixelRatio() == devicePixelRatioF();
    if (dragging) {
        settle_.start();
        return;
    }
    settle_.stop();
    picture_.resize(size(), devicePixelRatioF());
    emit pictureResized();
}

void WorldPictureWidget::takeSize() {
    // A drag that came back to where it began leaves the picture as it was.
    if (picture_.size() == size() && picture_.devicePixelRatio() == devicePixelRatioF()) return;
    picture_.resize(size(), devicePixelRatioF());
    emit pictureResized();
}

void WorldPictureWidget::mousePressEvent(QMouseEvent* event) {
    const QPointF w = picture_.toWorld(event->position() - origin());
    emit mousePressed(w.x(), w.y(), event->button());
    if (tool_) tool_->press(w.x(), w.y(), event->button());
}

void WorldPictureWidget::setTool(PictureTool* tool) {
    tool_ = tool;
    const auto shape = tool ? tool->pointer() : std::nullopt;
    if (shape)
        setCursor(*shape);
    else
        unsetCursor();
}

void WorldPictureWidget::keyPressEvent(QKeyEvent* event) {
    if (!tool_ || !tool_->key(event)) QWidget::keyPressEvent(event);
}

void WorldPictureWidget::keyReleaseEvent(QKeyEvent* event) {
    if (!tool_ || !tool_->key(event)) QWidget::keyReleaseEvent(event);
}

void WorldPictureWidget::wheelEvent(QWheelEvent* event) {
    if (!tool_ || !tool_->wheel(event)) QWidget::wheelEvent(event);
}

void WorldPictureWidget::focusOutEvent(QFocusEvent* event) {
    if (tool_) tool_->focusLost();
    QWidget::focusOutEvent(event);
}

} // namespace mv
