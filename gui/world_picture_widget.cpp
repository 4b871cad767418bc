#include "gui/world_picture_widget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

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
}

void WorldPictureWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    picture_.paint(painter);
}

void WorldPictureWidget::resizeEvent(QResizeEvent*) {
    picture_.resize(size(), devicePixelRatioF());
    emit pictureResized();
}

void WorldPictureWidget::mousePressEvent(QMouseEvent* event) {
    const QPointF w = picture_.toWorld(event->position());
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
