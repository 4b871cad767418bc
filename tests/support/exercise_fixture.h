#pragma once
// A radar console on an exercise of its own, in a temporary program folder, with scripted
// message boxes: the starting point of every window test that runs an exercise.

#include "app/radar_console.h"
#include "app/radar_view.h"
#include "app/vessel_panel.h"
#include "session/exercise.h"
#include "tests/support/scripted_dialogs.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace mv::test {

// A named child of a window, which must be there.
template <class T = QWidget> T* Find(QObject* owner, const QString& name) {
    T* w = owner->findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
}
// A picture item's property (its text unless another is named), read by the item's name.
inline std::string Item(const QObject* owner, const QString& name, const char* property = "text") {
    const QObject* o = owner->findChild<QObject*>(name);
    return o ? o->property(property).toString().toStdString() : "missing";
}

#ifdef MAROVANE_DATA_DIR
// The shipped demos, exercises and yaw table copied into a program folder of the test's own.
inline void CopyShippedData(const QString& folder) {
    for (const QString& f : QDir(MAROVANE_DATA_DIR).entryList(QDir::Files))
        QFile::copy(QString(MAROVANE_DATA_DIR "/") + f, folder + "/" + f);
}
#endif

class ExerciseFixture : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        exercise = std::make_unique<Exercise>(sim, display, dialogs, folder.path().toStdString());
        // The user's demo folder, not made yet, as on a first run.
        exercise->setUserFolder(folder.filePath("user").toStdString());
        console = std::make_unique<RadarConsole>(*exercise, dialogs);
        // A picture of about 720 x 800 pixels, some 30 pixels to the mile at 12 nm.
        console->resize(1100, 808);
        console->show();
    }

    void WriteDemo(const QString& name, const QByteArray& text) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    // An own vessel line ("SIZE, heading, speed") and target lines ("SIZE, heading, speed,
    // bearing, range"), started as a demo.
    void Load(const QByteArray& own, std::initializer_list<QByteArray> targets) {
        QByteArray text = "Test\r\n " + QByteArray::number(1 + static_cast<int>(targets.size())) +
                          " \r\n" + own + "\r\n";
        for (const QByteArray& t : targets)
            text += t + "\r\n";
        WriteDemo("Test.dem", text);
        ASSERT_TRUE(exercise->LoadDemo("Test.dem"));
    }
    // An own vessel at a standstill on that heading.
    void LoadOwnAnd(int ownHeading, std::initializer_list<QByteArray> targets) {
        Load("MEDIUM, " + QByteArray::number(ownHeading) + ", 0", targets);
    }
    void LoadOwnAndTarget(int ownHeading, const QByteArray& target) {
        if (target.isEmpty())
            LoadOwnAnd(ownHeading, {});
        else
            LoadOwnAnd(ownHeading, {target});
    }

    // A command run by its name, as its menu entry or button runs it.
    void Run(const QString& name) {
        EXPECT_TRUE(exercise->commands().Trigger(name)) << name.toStdString();
    }
    // The last thing the program showed: a message, prompt, help page or document.
    const ScriptedDialogs::Shown& Last() const { return dialogs.shown.back(); }
    // A named child of a window (the console when none is given), which must be there.
    template <class T = QWidget> T* Find(const QString& name, QObject* in = nullptr) {
        return test::Find<T>(in ? in : console.get(), name);
    }
    // A button or option clicked near the start of its caption, where a user clicks it.
    void Click(const QString& name, QObject* in = nullptr) {
        if (auto* b = Find<QAbstractButton>(name, in))
            QTest::mouseClick(b, Qt::LeftButton, {},
                              QPoint(qMin(8, b->width() / 2), b->height() / 2));
    }
    // An entry field emptied and typed into, key by key, through its key filter.
    void Type(QLineEdit* field, const QString& keys) {
        field->clear();
        QTest::keyClicks(field, keys);
    }
    // What a label or entry field shows.
    QString Text(const QString& name, QObject* in = nullptr) {
        QObject* owner = in ? in : console.get();
        if (auto* l = owner->findChild<QLabel*>(name)) return l->text();
        if (auto* e = owner->findChild<QLineEdit*>(name)) return e->text();
        return "missing " + name;
    }
    // A picture item's property (its text unless another is named), read by the item's name.
    std::string Item(const QString& name, const char* property = "text", QObject* in = nullptr) {
        return test::Item(in ? in : console.get(), name, property);
    }
    // The vessel buttons beside the picture, which open the plotting aids.
    VesselPanel& panel() { return *console->vesselPanel(); }

    QTemporaryDir folder;
    Simulation sim;
    RadarDisplayState display;
    ScriptedDialogs dialogs;
    std::unique_ptr<Exercise> exercise;
    std::unique_ptr<RadarConsole> console;
};

} // namespace mv::test
