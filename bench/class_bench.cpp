// A class's traffic through a real Mosquitto broker on 127.0.0.1: seats sending their state once
// a second, as at x120 (two minutes of sea time a second), to one instructor station. Measured:
// the instructor's picture latency (a seat publishing a state to the instructor's roster holding
// it), the broker's and the instructor's CPU, and the bytes each seat sends a second; one seat
// alone is the baseline in the same run.
//
// The state sent is a real seat's: one seat opens the exercise the instructor starts and its
// first state is taken, then every seat sends that message with its own sea time.
// CLASS_BENCH_SECONDS sets how long each case sends (10 s unless given).

#include "core/classroom/class_messages.h"
#include "session/classroom/class_broker.h"
#include "session/classroom/class_instructor.h"
#include "tests/classroom/class_machine.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <vector>

#include <unistd.h>

namespace mv {
namespace {

constexpr int kWaitMs = 10000;
constexpr double kFactor = 120; // seconds of sea time a second

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// CPU seconds (user and system) of a process or thread, from its stat file.
double CpuSeconds(const QString& statPath) {
    QFile f(statPath);
    if (!f.open(QIODevice::ReadOnly)) return 0;
    const QByteArray text = f.readAll();
    // Fields after the command's closing parenthesis: state is the 3rd, utime the 14th.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13) return 0;
    return static_cast<double>(fields[11].toLongLong() + fields[12].toLongLong()) /
           static_cast<double>(::sysconf(_SC_CLK_TCK));
}

QSet<QString> Threads() {
    const QStringList list = QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    return {list.begin(), list.end()};
}

// The broker started on the configuration in `folder`, found by its command line.
QString BrokerStat(const QString& folder) {
    for (const QString& pid : QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile cmd("/proc/" + pid + "/cmdline");
        if (cmd.open(QIODevice::ReadOnly) && cmd.readAll().contains(folder.toUtf8()) &&
            pid != QString::number(::getpid()))
            return "/proc/" + pid + "/stat";
    }
    return {};
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const auto at = static_cast<size_t>(std::ceil(p * static_cast<double>(v.size()))) - 1;
    return v[std::min(at, v.size() - 1)];
}

void BM_InstructorPicture(benchmark::State& state) {
    const int seats = static_cast<int>(state.range(0));
    const int seconds = qEnvironmentVariableIsSet("CLASS_BENCH_SECONDS")
                            ? qEnvironmentVariableIntValue("CLASS_BENCH_SECONDS")
                            : 10;
    if (ClassBroker::Program().isEmpty()) return state.SkipWithError("mosquitto is not installed");
    QTemporaryDir folder;
    ClassBroker broker;
    const int port = ClassBroker::FreePort();
    std::vector<ClassAccount> accounts{{"teacher", "teacher-pw", true}};
    for (int i = 1; i <= seats + 1; ++i)
        accounts.push_back({QString("seat%1").arg(i), "pw", false});
    if (QString e = broker.Start(folder.path(), "127.0.0.1", port, "nav1", accounts, kWaitMs);
        !e.isEmpty())
        return state.SkipWithError(e.toStdString().c_str());
    const QString brokerStat = BrokerStat(folder.path());

    // The instructor, and its network thread among this process's threads.
    ClassInstructor teacher{{MAROVANE_DATA_DIR}};
    const QSet<QString> before = Threads();
    teacher.JoinClass({"127.0.0.1", port, "nav1", "teacher", "teacher-pw"});
    QStringList teacherThreads{QString::number(::gettid())};
    for (const QString& t : Threads() - before)
        teacherThreads << t;
    if (!QTest::qWaitFor([&] { return teacher.isJoined(); }, kWaitMs))
        return state.SkipWithError("the instructor did not join");
    teacher.StartExercise(MAROVANE_DATA_DIR "/Exam1-AlteringTarget.toml");

    // A real seat's state, as the instructor took it in.
    const QString probeName = QString("seat%1").arg(seats + 1);
    std::string sample;
    {
        Machine probe(probeName, "Probe");
        probe.join.Port = port;
        probe.join.Password = "pw";
        probe.seat->JoinClass(probe.join);
        if (!QTest::qWaitFor(
                [&] {
                    const ClassSeatRow* r = teacher.seat(probeName);
                    return r && r->State;
                },
                kWaitMs))
            return state.SkipWithError("no state came from a real seat");
        sample = ToJson(*teacher.seat(probeName)->State);
        probe.seat->Leave();
    }
    ClassState s = *ParseClassState(sample).Value;
    s.Paused = false;
    const double base = s.SimTime;

    std::vector<std::unique_ptr<ClassLink>> links;
    for (int i = 1; i <= seats; ++i) {
        auto link = std::make_unique<ClassLink>();
        ClassLink::Settings settings;
        settings.Port = port;
        settings.User = QString("seat%1").arg(i);
        settings.Password = "pw";
        settings.ClientId = "bench-" + settings.User;
        link->Open(settings);
        links.push_back(std::move(link));
    }
    if (!QTest::qWaitFor(
            [&] {
                return std::all_of(links.begin(), links.end(),
                                   [](const auto& l) { return l->isConnected(); });
            },
            kWaitMs))
        return state.SkipWithError("the seats did not join");

    // When each seat sent each second's state, and the latency of each that arrived.
    std::vector<std::vector<double>> sent(static_cast<size_t>(seats),
                                          std::vector<double>(static_cast<size_t>(seconds), -1));
    std::vector<double> latencies;
    double bytes = 0;
    QObject::connect(&teacher, &ClassInstructor::rosterChanged, [&](const QString& name) {
        const ClassSeatRow* r = teacher.seat(name);
        if (!r || !r->State || !name.startsWith("seat")) return;
        const auto seat = static_cast<size_t>(name.mid(4).toInt() - 1);
        const auto second = std::lround((r->State->SimTime - base) * 86400 / kFactor);
        if (seat >= sent.size() || second < 0 || second >= seconds) return;
        double& at = sent[seat][static_cast<size_t>(second)];
        if (at < 0) return;
        latencies.push_back(Now() - at);
        at = -1; // once
    });

    for (auto _ : state) {
        const double brokerCpu = CpuSeconds(brokerStat);
        double teacherCpu = 0;
        for (const QString& t : teacherThreads)
            teacherCpu += CpuSeconds("/proc/self/task/" + t + "/stat");
        QElapsedTimer clock;
        clock.start();
        // The seats' seconds spread evenly over the second, as seats that joined at odd times.
        int next = 0;
        const int total = seats * seconds;
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        tick.setInterval(1000 / seats);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            if (next >= total) return tick.stop();
            const auto seat = static_cast<size_t>(next % seats);
            const auto second = static_cast<size_t>(next / seats);
            ClassState m = s;
            m.SimTime = base + static_cast<double>(second) * kFactor / 86400;
            const QByteArray payload = QByteArray::fromStdString(ToJson(m));
            const QString topic = QString("marovane/nav1/seat/seat%1/state").arg(seat + 1);
            sent[seat][second] = Now();
            links[seat]->Publish(topic, payload, 0, false);
            // On the wire: the fixed header (2), the topic with its length (2), the properties'
            // length (1), the payload.
            bytes += 5.0 + static_cast<double>(topic.toUtf8().size() + payload.size());
            ++next;
        });
        // A plain event loop: QTest's waits sleep 10 ms between their looks, which would be
        // measured as latency.
        QEventLoop loop;
        QTimer::singleShot((seconds + 1) * 1000, &loop, &QEventLoop::quit);
        tick.start();
        loop.exec();
        const double elapsed = static_cast<double>(clock.elapsed()) / 1000;
        double teacherAfter = 0;
        for (const QString& t : teacherThreads)
            teacherAfter += CpuSeconds("/proc/self/task/" + t + "/stat");
        state.SetIterationTime(elapsed);
        state.counters["p50_ms"] = Percentile(latencies, 0.5) * 1000;
        state.counters["p99_ms"] = Percentile(latencies, 0.99) * 1000;
        state.counters["max_ms"] = Percentile(latencies, 1.0) * 1000;
        state.counters["lost"] = static_cast<double>(total) - static_cast<double>(latencies.size());
        state.counters["broker_cpu_pct"] = (CpuSeconds(brokerStat) - brokerCpu) / elapsed * 100;
        state.counters["instr_cpu_pct"] = (teacherAfter - teacherCpu) / elapsed * 100;
        state.counters["bytes_seat_s"] = bytes / seats / seconds;
    }
    for (auto& l : links)
        l->Close();
    broker.Stop();
}
// One seat alone is the baseline; thirty is a class.
BENCHMARK(BM_InstructorPicture)
    ->ArgName("seats")
    ->Arg(1)
    ->Arg(30)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

} // namespace
} // namespace mv

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
