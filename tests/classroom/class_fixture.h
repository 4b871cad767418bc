#pragma once
// A class on a real Mosquitto broker on 127.0.0.1: accounts for the instructor and three seats,
// and joins that wait a bounded time for the roster to show them.

#include "session/classroom/class_broker.h"
#include "session/classroom/class_instructor.h"
#include "tests/classroom/class_machine.h"

#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace mv {

constexpr int kWaitMs = 5000;

class ClassTest : public testing::Test {
  protected:
    void SetUp() override {
        if (ClassBroker::Program().isEmpty())
            GTEST_SKIP() << "mosquitto is not installed (apt install mosquitto): no broker to "
                            "run a class through";
        ASSERT_TRUE(folder.isValid());
        port = ClassBroker::FreePort();
        ASSERT_GT(port, 0);
        StartBroker();
    }
    void TearDown() override { broker.Stop(); }

    void StartBroker() {
        const QString error = broker.Start(folder.path(), "127.0.0.1", port, "nav1",
                                           {{"teacher", "teacher-pw", true},
                                            {"seat1", "seat1-pw", false},
                                            {"seat2", "seat2-pw", false},
                                            {"seat3", "seat3-pw", false}},
                                           kWaitMs);
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    }
    void JoinInstructor(ClassInstructor& t) {
        ASSERT_TRUE(t.JoinClass({"127.0.0.1", port, "nav1", "teacher", "teacher-pw"}));
        ASSERT_TRUE(QTest::qWaitFor([&t] { return t.isJoined(); }, kWaitMs));
    }
    void JoinInstructor() { JoinInstructor(teacher); }
    static bool Shows(const ClassInstructor& t, const QString& seat, ClassStatus::Kind kind) {
        const ClassSeatRow* row = t.seat(seat);
        return row && row->Status == kind;
    }
    void JoinSeat(Machine& m) {
        m.join.Port = port;
        ASSERT_TRUE(m.seat->JoinClass(m.join)) << m.seat->error().toStdString();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return m.seat->isJoined() && Shows(teacher, m.name, ClassStatus::Kind::Connected);
            },
            kWaitMs))
            << m.name.toStdString() << " never showed in the roster";
    }

    QTemporaryDir folder;
    ClassBroker broker;
    int port = 0;
    ClassInstructor teacher{{MAROVANE_DATA_DIR}};
};

} // namespace mv
