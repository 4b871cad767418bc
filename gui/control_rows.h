#pragma once
// Small pieces that the windows lay out again and again: sunken read-outs with their
// captions, entries sized for the figures they hold, and push buttons named and tied to
// their slots, alone or in a row.

#include <QBoxLayout>
#include <QObject>
#include <QPushButton>
#include <QString>

class QGridLayout;
class QLabel;
class QLineEdit;
class QWidget;

namespace mv {

// How wide a read-out or an entry is: the widest text it shows, in its own font, and pixels
// for the frame and the padding around the text.
struct FigureWidth {
    const char* Widest;
    int Margin;
};

// A tool window is centred over its parent's window the first time it is shown, at the size
// its layout asks for; afterwards it opens where the user left it.
void CentreOverParentOnce(QWidget* window);

// A panel's title: the window's font, bold and a fifth larger.
QLabel* PanelTitle(const char* name, const QString& text, QWidget* parent);

// A read-out: a sunken box with its figures to the right, at least as wide as `width`.
QLabel* ReadOut(const QString& name, FigureWidth width, QWidget* parent);

// An entry for figures, typed to the right, exactly as wide as `width`.
QLineEdit* FigureEntry(const QString& name, FigureWidth width, QWidget* parent);

// A grid of read-outs, each a right-aligned caption with its box in the next column, 10
// pixels between the columns.
class ReadOutGrid {
  public:
    ReadOutGrid(QGridLayout* grid, FigureWidth width, QWidget* parent);
    // The caption at (row, column) and the box named `name` beside it; returns the box.
    QLabel* add(int row, int column, const QString& caption, const char* name);

  private:
    QGridLayout* grid_;
    FigureWidth width_;
    QWidget* parent_;
};

enum class ButtonUse {
    // A dialog's button as Qt makes it: with the focus, Enter presses it.
    Dialog,
    // A dialog's button that Enter never presses, so that Enter in an entry neither computes
    // nor closes; Space still does.
    NotOnEnter,
    // A console control: Tab reaches it, a click leaves the keyboard where it was (on the
    // radar picture), and it is at least 28 pixels high.
    Console,
};

// A push button named `name` with `caption`, made for `use`.
QPushButton* MakeButton(const QString& name, const QString& caption, ButtonUse use,
                        QWidget* parent);

// The same, its click calling `slot` of `receiver`.
template <typename Receiver>
QPushButton* CommandButton(const QString& name, const QString& caption, ButtonUse use,
                           Receiver* receiver, void (Receiver::*slot)(), QWidget* parent) {
    QPushButton* b = MakeButton(name, caption, use, parent);
    QObject::connect(b, &QPushButton::clicked, receiver, slot);
    return b;
}

// A row of command buttons in `row`, left to right and in tab order as they are added.
template <typename Receiver> class ButtonRow {
  public:
    ButtonRow(QBoxLayout* row, ButtonUse use, Receiver* receiver, QWidget* parent)
        : row_(row), use_(use), receiver_(receiver), parent_(parent) {}

    QPushButton* add(const QString& name, const QString& caption, void (Receiver::*slot)()) {
        QPushButton* b = CommandButton(name, caption, use_, receiver_, slot, parent_);
        row_->addWidget(b);
        return b;
    }
    // Space that pushes the buttons after it to the right.
    void addStretch() { row_->addStretch(1); }

  private:
    QBoxLayout* row_;
    ButtonUse use_;
    Receiver* receiver_;
    QWidget* parent_;
};

} // namespace mv
