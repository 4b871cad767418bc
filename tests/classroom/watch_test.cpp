// The instructor's watch over the class: seats' states kept in the instructor's model, the
// alert when an own ship comes close to a target, and the grid of pictures drawn offscreen.
// States are handed to the instructor as the link delivers them; no broker is needed.

#include "app/instructor/instructor_window.h"
#include "app/instructor/seat_watch.h"
#include "session/classroom/class_broker.h"
#include "session/classroom/class_instructor.h"
#include "tests/support/scripted_dialogs.h"

#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>

namespace mv {
namespace {

constexpr double kMinute = 1.0 / 1440; // days

class Watch : public testing::Test {
  protected:
    void SetUp() override {
        // Joined to a port nobody listens on: the instructor knocks, unheard, for the test.
        ASSERT_TRUE(teacher.JoinClass({"127.0.0.1", ClassBroker::FreePort(), "nav1", "t", "p"}));
        ASSERT_TRUE(dir.isValid());
        QFile exam(MAROVANE_DATA_DIR "/Exam1-AlteringTarget.toml");
        ASSERT_TRUE(exam.open(QIODevice::ReadOnly));
        QFile out(dir.filePath("Exam1.toml"));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(exam.readAll());
        out.close();
        ASSERT_EQ(teacher.StartExercise(out.fileName()), "");
    }
    // The own ship (slot 0) at `own`, steering north at 10 knots, and targets where given.
    ClassState State(double minutes, PointD own, std::vector<PointD> targets) const {
        ClassState s;
        s.Run = teacher.run().toStdString();
        s.SimTime = 0.5 + minutes * kMinute;
        s.X = own.X;
        s.Y = own.Y;
        s.Course = 0;
        s.Speed = 10;
        s.Vessels.push_back({own.X, own.Y, 0, 10, 1});
        for (const PointD& t : targets)
            s.Vessels.push_back({t.X, t.Y, 180, 8, 1});
        s.Orientation = ClassState::Up::North;
        return s;
    }
    void Send(const QString& seat, const ClassState& s) {
        teacher.Received(QString::fromStdString(SeatTopic("nav1", seat.toStdString(), "state")),
                         QByteArray::fromStdString(ToJson(s)));
    }

    QTemporaryDir dir;
    ClassInstructor teacher{{MAROVANE_DATA_DIR}};
};

TEST_F(Watch, AClosingTargetRaisesTheAlertWithinTheDistanceAndItClearsAsSheOpens) {
    // Head-on: own ship from the origin north at 10 knots, B from 3 nm ahead south at 8 knots,
    // closing at 18 knots: 1 nm apart at 6 min 40 s, passing at 10 min, 1 nm apart again at
    // 13 min 20 s. C lies stopped 5 nm to the east throughout.
    const struct {
        double minutes, apart;
        bool alert;
    } cases[] = {{0, 3.0, false}, {6, 1.2, false}, {7, 0.9, true},
                 {10, 0.0, true}, {13, 0.9, true}, {14, 1.2, false}};
    for (const auto& c : cases) {
        const double own = 10 * c.minutes / 60, b = 3 - 8 * c.minutes / 60;
        Send("seat1", State(c.minutes, {own, 0}, {{b, 0}, {0, 5}}));
        const ClassSeatRow* row = teacher.seat("seat1");
        ASSERT_TRUE(row && row->State) << c.minutes;
        ASSERT_TRUE(row->Nearest) << c.minutes;
        EXPECT_EQ(row->Nearest->Vessel, 1) << c.minutes;
        EXPECT_NEAR(row->Nearest->Distance, c.apart, 1e-9) << c.minutes;
        EXPECT_EQ(row->Alert, c.alert) << c.minutes << " min";
    }
    // The instructor's distance: every seat judged again at once, on and off.
    Send("seat1", State(7, {7.0 / 6, 0}, {{3 - 5.6 / 6, 0}}));
    ASSERT_TRUE(teacher.seat("seat1")->Alert);
    teacher.SetAlertDistance(0.5);
    EXPECT_FALSE(teacher.seat("seat1")->Alert);
    teacher.SetAlertDistance(0.95);
    EXPECT_TRUE(teacher.seat("seat1")->Alert);
}

// The share of pixels in a 9 by 9 box about `at` that differ between two images.
int Differ(const QImage& a, const QImage& b, QPoint at) {
    int n = 0;
    for (int dy = -4; dy <= 4; ++dy)
        for (int dx = -4; dx <= 4; ++dx)
            n += a.pixel(at + QPoint(dx, dy)) != b.pixel(at + QPoint(dx, dy));
    return n;
}

TEST_F(Watch, TheGridShowsEachSeatsEchoWhereItLiesAndMarksASeatInAlert) {
    ScriptedDialogs dialogs;
    InstructorWindow window(teacher, dialogs);
    window.resize(1000, 700);
    SeatWatch& watch = *window.watch();
    // North-up at 12 nm: B 6 nm east for seat1 (in the student's alarm), 6 nm west for seat2;
    // seat3's B half a mile ahead, within the instructor's mile.
    ClassState east = State(3, {0, 0}, {{0, 6}});
    east.Alarms = {1};
    Send("seat1", east);
    Send("seat2", State(3, {0, 0}, {{0, -6}}));
    Send("seat3", State(3, {0, 0}, {{0.5, 0}}));
    // Drawn a moment later, not on each message.
    EXPECT_EQ(watch.tile("seat1"), nullptr);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return watch.tile("seat3") != nullptr; }, 4 * SeatWatch::kRedrawMs));
    watch.Redraw();

    SeatTile* one = watch.tile("seat1");
    SeatTile* two = watch.tile("seat2");
    const QImage a = one->grab().toImage(), b = two->grab().toImage();
    // The face's centre lies half way across and 1.1 of its 2.23 ranges down; 6 nm is a
    // quarter of the picture's width (two ranges) from it.
    const QRect r = one->pictureRect();
    const QPoint centre(r.left() + r.width() / 2,
                        r.top() + static_cast<int>(std::lround(r.height() * 1.1 / 2.23)));
    const QPoint eastOf = centre + QPoint(r.width() / 4, 0),
                 westOf = centre - QPoint(r.width() / 4, 0);
    EXPECT_GT(Differ(a, b, eastOf), 3) << "no echo 6 nm east on seat1";
    EXPECT_GT(Differ(a, b, westOf), 3) << "no echo 6 nm west on seat2";
    // Away from both echoes the two pictures agree.
    EXPECT_EQ(Differ(a, b, centre + QPoint(0, r.width() / 4)), 0);

    // seat3 alone is framed red, and the roster says which target and how close.
    SeatTile* three = watch.tile("seat3");
    EXPECT_TRUE(three->alert());
    EXPECT_FALSE(one->alert());
    const QImage c = three->grab().toImage();
    EXPECT_EQ(QColor(c.pixel(1, c.height() / 2)), QColor(Qt::red));
    EXPECT_NE(QColor(a.pixel(1, a.height() / 2)), QColor(Qt::red));
    window.ShowRoster();
    auto* roster = window.findChild<QTableWidget*>("tblRoster");
    ASSERT_EQ(roster->rowCount(), 3);
    EXPECT_EQ(roster->item(2, 6)->text(), "close: B at 0.50 nm");
    EXPECT_EQ(roster->item(0, 6)->text(), "");
}

TEST_F(Watch, AClickEnlargesASeatAndAnotherGoesBackToTheGrid) {
    SeatWatch watch(teacher);
    watch.resize(900, 700);
    watch.show();
    Send("seat1", State(3, {0, 0}, {{0, 6}}));
    Send("seat2", State(3, {0, 0}, {{0, -6}}));
    watch.Redraw();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&watch));
    QTest::mouseClick(watch.tile("seat2"), Qt::LeftButton);
    EXPECT_EQ(watch.enlargedSeat(), "seat2");
    ASSERT_TRUE(watch.enlarged()->isVisible());
    EXPECT_EQ(watch.enlarged()->seat(), "seat2");
    EXPECT_GT(watch.enlarged()->pictureRect().width(),
              2 * watch.tile("seat2")->pictureRect().width());
    QTest::mouseClick(watch.enlarged(), Qt::LeftButton);
    EXPECT_EQ(watch.enlargedSeat(), "");
    EXPECT_TRUE(watch.tile("seat1")->isVisible());
}

} // namespace
} // namespace mv
