#include "gui/tool_place.h"

#include <QCloseEvent>
#include <QDockWidget>
#include <QLayout>
#include <QMainWindow>
#include <QRect>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace mv {

namespace {

const char* const kPlacesKey = "console/toolPlaces";

QSettings Settings() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Marovane", "Marovane");
}

// Keeps a dock and its window as one: the window's show and hide show and hide the dock, the
// dock's close box asks the window to close (it may refuse, as the briefing does), and the
// window's title is the dock's. A window whose contents change (the answer form's rows are a
// question's targets) has its dock grow and shrink with them.
class DockSync : public QObject {
  public:
    DockSync(QDockWidget& dock, QWidget& window, QScrollArea& scroll)
        : QObject(&dock), dock_(dock), window_(window), scroll_(scroll) {
        window.installEventFilter(this);
        dock.installEventFilter(this);
        Fit();
    }

    // Never larger than the tool wants: the room it leaves goes to the picture.
    void Fit() {
        const int bar = scroll_.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        scroll_.setMaximumSize(window_.sizeHint() + QSize(bar, bar));
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_) {
            if (event->type() == QEvent::ShowToParent) {
                dock_.show();
                dock_.raise();
            } else if (event->type() == QEvent::HideToParent) {
                dock_.hide();
            } else if (event->type() == QEvent::WindowTitleChange) {
                dock_.setWindowTitle(window_.windowTitle());
            } else if (event->type() == QEvent::LayoutRequest) {
                Fit();
            }
        } else if (watched == &dock_ && event->type() == QEvent::Close) {
            if (!window_.close()) event->ignore();
            return !window_.isHidden();
        }
        return false;
    }

  private:
    QDockWidget& dock_;
    QWidget& window_;
    QScrollArea& scroll_;
};

} // namespace

bool DockTool(QWidget& window, ToolSide side) {
    QMainWindow* area = nullptr;
    for (QWidget* p = window.parentWidget(); p && !area; p = p->parentWidget())
        area = p->findChild<QMainWindow*>(kToolArea, Qt::FindDirectChildrenOnly);
    if (!area) return false;
    const bool shown = window.isVisible();
    auto* dock = new QDockWidget(window.windowTitle(), area);
    dock->setObjectName("dck" + window.objectName().mid(3)); // frmTrial -> dckTrial
    dock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    dock->hide();
    // In a scroll area, so that a small screen shrinks the dock rather than the picture.
    auto* scroll = new QScrollArea(dock);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    window.setParent(scroll, Qt::Widget);
    scroll->setWidget(&window); // which shows the window within the dock
    dock->setWidget(scroll);
    if (!shown) window.hide();
    // Where the user left it, if a past run knew it: first, since adding a dock forgets the
    // place kept for its name by a restore made before the dock was built.
    if (!area->restoreDockWidget(dock))
        area->addDockWidget(
            side == ToolSide::Left ? Qt::LeftDockWidgetArea : Qt::BottomDockWidgetArea, dock);
    dock->setVisible(shown);
    new DockSync(*dock, window, *scroll);
    return true;
}

void SaveToolPlaces(const QMainWindow& area) {
    Settings().setValue(kPlacesKey, area.saveState());
}

void RestoreToolPlaces(QMainWindow& area) {
    area.restoreState(Settings().value(kPlacesKey).toByteArray());
    // The places only: a tool opens when the student asks for it.
    for (QDockWidget* dock : area.findChildren<QDockWidget*>(Qt::FindDirectChildrenOnly))
        dock->hide();
}

void PlaceOverColumnOnce(QWidget& window, ColumnSpot spot) {
    const QWidget* p = window.parentWidget();
    if (!p || !window.isWindow() || window.property("placedOverColumn").toBool()) return;
    window.setProperty("placedOverColumn", true);
    window.adjustSize();
    // The radar picture and the frame round it; without them, the parent's own left side.
    const QWidget* picture = p->findChild<QWidget*>("picRadarCRT");
    const QWidget* frame = picture && picture->parentWidget() ? picture->parentWidget() : p;
    const QRect pic = picture ? QRect(picture->mapToGlobal(QPoint()), picture->size())
                              : QRect(p->mapToGlobal(QPoint()), p->size());
    const QPoint frameTopLeft = frame->mapToGlobal(QPoint());
    // The captions take about the top eighth of the picture and the read-outs the bottom
    // sixth (three lines of text at a twentieth of its height and more).
    const int top = pic.top() + pic.height() / 8;
    const int bottom = pic.bottom() - pic.height() / 6;
    int y = top;
    if (spot == ColumnSpot::Middle) y = pic.center().y() + 40; // under the own ship
    if (spot == ColumnSpot::Bottom) y = bottom - window.height();
    y = std::max(top, std::min(y, bottom - window.height()));
    int x = frameTopLeft.x() + 8;
    // On the screen whatever its size: a window taller or wider than the room left is pushed
    // back inside, its title bar first.
    if (const QScreen* screen = p->screen()) {
        const QRect room = screen->availableGeometry();
        x = std::clamp(x, room.left(), std::max(room.left(), room.right() - window.width()));
        y = std::clamp(y, room.top() + 30,
                       std::max(room.top() + 30, room.bottom() - window.height()));
    }
    window.move(x, y);
}

void PlaceClearOfCentreOnce(QWidget& window) {
    const QWidget* p = window.parentWidget();
    if (!p || !window.isWindow() || window.property("placedClearOfCentre").toBool()) return;
    window.setProperty("placedClearOfCentre", true);
    // Polished first: its style and fonts settle its size, which showing would change after.
    window.ensurePolished();
    if (QLayout* layout = window.layout()) layout->activate();
    window.adjustSize();
    const QWidget* top = p->window();
    const QWidget* picture = top->findChild<QWidget*>("picRadarCRT");
    const QWidget* column = top->findChild<QWidget*>("picControls");
    const QScreen* screen = p->screen();
    const QRect room = screen ? screen->availableGeometry() : top->frameGeometry();
    // Room for a window manager's title bar above the window and its border round it, pixels.
    constexpr int kTitle = 30;
    constexpr int kBorder = 4;
    const int w = window.width();
    const int h = window.height();
    // The own ship: across the middle, 1.1 of the 2.23 ranges down the picture.
    const QPoint own =
        picture ? picture->mapToGlobal(QPoint(picture->width() / 2, picture->height() * 110 / 223))
                : top->geometry().center();
    const auto onScreen = [&](QPoint at) {
        const int left = room.left() + kBorder;
        const int right = room.x() + room.width() - w - kBorder;
        const int bottom = room.y() + room.height() - h - kBorder;
        return QPoint(
            std::clamp(at.x(), left, std::max(left, right)),
            std::clamp(at.y(), room.top() + kTitle, std::max(room.top() + kTitle, bottom)));
    };
    // Clear of the own ship by a few pixels all round, title bar included.
    const auto clear = [&](QPoint at) {
        return !QRect(at.x(), at.y() - kTitle, w, h + kTitle)
                    .adjusted(-24, -24, 24, 24)
                    .contains(own);
    };
    const QPoint overColumn =
        column ? QPoint(column->mapToGlobal(QPoint(column->width(), 0)).x() - w,
                        column->mapToGlobal(QPoint(0, column->height() / 2)).y() - h / 2)
               : QPoint(room.x() + room.width() - w, own.y() - h / 2);
    const QPoint candidates[] = {
        onScreen(overColumn),
        onScreen({room.x() + room.width() - w, own.y() + 40}), // below the own ship, to the right
        onScreen({room.x() + room.width() - w, own.y() - 40 - h}), // above it
        onScreen({room.left(), own.y() - h / 2}),                  // on the far side
    };
    QPoint at = candidates[0];
    for (const QPoint& c : candidates)
        if (clear(c)) {
            at = c;
            break;
        }
    window.move(at);
}

} // namespace mv
