#pragma once
// The instructor's watch over the class: a grid of small live radar pictures, one per seat, each
// drawn by the moment renderer from the plain state the seat last sent (own ship, targets,
// vectors, the targets in alarm), with the seat's name, status, sea time and answers below.
// A seat whose own ship is within the instructor's alert distance of a target has its tile
// framed in red. A click enlarges a seat's picture; a click on the large one goes back.

#include "gui/moment_renderer.h"
#include "session/classroom/class_instructor.h"

#include <QImage>
#include <QSet>
#include <QTimer>
#include <QWidget>

#include <map>
#include <memory>

class QGridLayout;
class QLabel;
class QStackedWidget;

namespace mv {

// The vessels and the display a seat's state describes, as the renderer takes them.
RadarMoment SeatMoment(const ClassState& state);

class SeatTile : public QWidget {
    Q_OBJECT
  public:
    explicit SeatTile(QWidget* parent = nullptr);
    ~SeatTile() override;
    // The seat's picture and captions drawn afresh from its row.
    void Show(const ClassSeatRow& row, const QString& aboutAlert);
    const QString& seat() const { return seat_; }
    bool alert() const { return alert_; }
    // Where the radar picture lies in the tile, logical pixels.
    QRect pictureRect() const;
    QSize sizeHint() const override;

  signals:
    void clicked(const QString& seat);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Render();

    QString seat_;
    std::optional<ClassState> state_;
    QStringList captions_;
    bool alert_ = false;
    WorldPicture picture_;
    std::unique_ptr<MomentRenderer> renderer_;
    QImage image_;
};

class SeatWatch : public QWidget {
    Q_OBJECT
  public:
    explicit SeatWatch(ClassInstructor& instructor, QWidget* parent = nullptr);
    // Every tile whose seat changed drawn again, now. The instructor's changes come many a
    // second with a full class; they are gathered and drawn at most every kRedrawMs.
    void Redraw();
    static constexpr int kRedrawMs = 500;

    SeatTile* tile(const QString& seat) const;
    SeatTile* enlarged() const { return big_; }
    // The seat shown large, "" while the grid shows.
    const QString& enlargedSeat() const { return bigSeat_; }

  public slots:
    // A tile clicked: that seat large; the large picture clicked: the grid again.
    void picSeat_Click(const QString& seat);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Changed(const QString& seat);
    void Layout();
    QString AboutAlert(const ClassSeatRow& row) const;

    ClassInstructor& instructor_;
    QStackedWidget* stack_;
    QWidget* gridPage_;
    QGridLayout* grid_;
    SeatTile* big_;
    QString bigSeat_;
    std::map<QString, SeatTile*> tiles_;
    int columns_ = 0;
    QSet<QString> dirty_; // seats changed since the last drawing
    bool allDirty_ = true;
    QTimer redraw_;
};

} // namespace mv
