#include "gui/control_rows.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

namespace mv {

namespace {

int Pixels(const QWidget* w, FigureWidth width) {
    return w->fontMetrics().horizontalAdvance(width.Widest) + width.Margin;
}

} // namespace

void CentreOverParentOnce(QWidget* window) {
    QWidget* parent = window->parentWidget();
    if (window->property("placed").toBool() || !parent) return;
    window->adjustSize();
    window->move(parent->window()->geometry().center() - window->rect().center());
    window->setProperty("placed", true);
}

QLabel* PanelTitle(const char* name, const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    QFont title = l->font();
    title.setBold(true);
    title.setPointSizeF(title.pointSizeF() * 1.2);
    l->setFont(title);
    return l;
}

QLabel* ReadOut(const QString& name, FigureWidth width, QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setMinimumWidth(Pixels(l, width));
    return l;
}

QLineEdit* FigureEntry(const QString& name, FigureWidth width, QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setAlignment(Qt::AlignRight);
    e->setFixedWidth(Pixels(e, width));
    return e;
}

ReadOutGrid::ReadOutGrid(QGridLayout* grid, FigureWidth width, QWidget* parent)
    : grid_(grid), width_(width), parent_(parent) {
    grid_->setHorizontalSpacing(10);
}

QLabel* ReadOutGrid::add(int row, int column, const QString& caption, const char* name) {
    grid_->addWidget(new QLabel(caption, parent_), row, column, Qt::AlignRight);
    QLabel* box = ReadOut(name, width_, parent_);
    grid_->addWidget(box, row, column + 1);
    return box;
}

QPushButton* MakeButton(const QString& name, const QString& caption, ButtonUse use,
                        QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    switch (use) {
    case ButtonUse::Dialog:
        break;
    case ButtonUse::NotOnEnter:
        b->setAutoDefault(false);
        break;
    case ButtonUse::Console:
        b->setFocusPolicy(Qt::TabFocus);
        b->setMinimumHeight(28);
        break;
    }
    return b;
}

} // namespace mv
