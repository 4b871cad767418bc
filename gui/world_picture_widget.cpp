#include "gui/world_picture_widget.h"

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
}

} // namespace mv
