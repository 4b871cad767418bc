#pragma once
// Records every run for the debrief: from each scenario start until the next start or the end
// of the program, every tick's vessels and display state and every event, and of an assessed
// exercise the exercise opened, each answer, each order and the ending, in one record file
// per run in the runs folder. Recording never stops or slows the exercise: a record that cannot
// be written is given up with one notice, and the exercise runs on.
//
// The first moment is the start as the student first sees it: taken when the command that
// started the scenario has done (its changed()), after the settings that come with the start
// (time factor, plotting, bearing line and range ring) are in force. What happens before it is
// kept and written after it.

#include "core/record/run_record.h"
#include "core/record/run_writer.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <future>
#include <memory>
#include <variant>
#include <vector>

namespace mv {

class Exercise;
struct Simulation;
struct RadarDisplayState;

// Below this much free space (bytes) no record is begun or written on: some 70 hours of runs,
// and room left for everything else the user does.
inline constexpr qint64 kRunsLowSpace = 64ll * 1024 * 1024;
inline constexpr int kRunsKeptByDefault = 50;

class RunRecorder : public QObject {
    Q_OBJECT
  public:
    RunRecorder(Exercise& exercise, QString folder, QObject* parent = nullptr);
    ~RunRecorder() override;

    // $MAROVANE_RUNS when set, otherwise "runs" in the user's data folder.
    static QString DefaultFolder();
    // "2026-12-07 143015 Crossing at dawn.mvrun": the title made safe for any file system. A
    // second run begun within the same second is "2026-12-07 143015-2 ...", so that the names
    // sort in the order the runs began.
    static QString FileName(const QDateTime& started, const QString& title, int nth = 1);
    // The moment of the exercise as a record keeps it.
    static RunTick Moment(const Simulation& sim, const RadarDisplayState& display, int64_t index);

    const QString& folder() const { return folder_; }
    // How many runs are kept; the oldest beyond it are deleted as a new run begins.
    void setKeep(int runs) { keep_ = runs < 1 ? 1 : runs; }
    // The record being written, or empty.
    QString currentPath() const;
    // A whole copy of the record as it stands at `to`, for results kept apart from the runs
    // folder (whose oldest runs are deleted). An error text, empty on success.
    QString SaveCopy(const QString& to);
    // The free space (bytes) below which recording stops; tests set it above any disk.
    void setLowSpace(qint64 bytes) { lowSpace_ = bytes; }
    // With `on`, a new record's file is made on a thread of its own (some 5 to 15 ms of disk
    // syncs), so a start is not held up by it; the moments and events of the meantime are
    // kept and written, in order, as soon as the file is there.
    void setMakeAside(bool on) { aside_ = on; }
    // Takes the first moment if it is still to come, waits for a record being made aside and
    // writes what was kept meanwhile.
    void Settle();

  signals:
    // Said once when recording stops or cannot begin (the disk is full or short of space, the
    // folder cannot be written): shown in the status line, never in a modal box.
    void notice(const QString& text);

  private:
    using Item = std::variant<RunTick, RunEvent, RunAnswer, RunOrder, RunEnding, RunTrackEvent,
                              RunVideoSetting, RunVideoSea>;
    // The radar video's controls as they are now, after the last moment recorded.
    RunVideoSetting VideoNow() const;
    // The sea the video's clutter shows, when it is not the one recorded last.
    void PutSea();
    // The moment now, with the tracks the student sees while ARPA is on.
    RunTick Now(int64_t index) const;
    void Begin();
    void TakeFirst();
    void TakeMoment();
    void Logged(const QString& kind, int vessel, const QString& text);
    // Written now, or kept until the record is there; dropped when the run is not recorded.
    void Put(Item item);
    bool Write(const Item& item);
    void Flush();
    void GiveUp(const QString& why);
    bool SpaceLeft();
    void Prune();

    struct Made {
        std::unique_ptr<RunWriter> writer;
        std::string error;
    };

    Exercise& exercise_;
    QString folder_;
    std::unique_ptr<RunWriter> writer_;
    // A run started whose first moment is still to come, then its record being made aside;
    // its path, and what happened before the record was there.
    bool starting_ = false;
    std::future<Made> making_;
    QString startPath_;
    QDateTime startedAt_;
    std::vector<Item> waiting_;
    bool aside_ = false;
    int64_t next_ = 0;
    int seaPut_ = -1; // the sea state last recorded, -1 before the run's first
    int keep_ = kRunsKeptByDefault;
    qint64 lowSpace_ = kRunsLowSpace;
    int untilSpaceCheck_ = 0;
    bool told_ = false;
};

} // namespace mv
