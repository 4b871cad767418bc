// Killed at any moment while recording, a record either does not exist yet or opens with its
// start, and holds every moment and answer that the writer had returned from: each is committed
// as it is written.

#include "core/record/run_reader.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

TEST(RecordKill, EveryRecordOpensAndHoldsEverythingWrittenBeforeTheKill) {
    const mv::test::TempDir dir;
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> lifeMs(50, 2500);
    for (int run = 0; run < 15; ++run) {
        SCOPED_TRACE(run);
        const auto path = dir.path / ("run" + std::to_string(run) + ".mvrun");
        int out[2];
        ASSERT_EQ(pipe(out), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            dup2(out[1], 1);
            close(out[0]);
            execl(MAROVANE_RECORD_WRITER, MAROVANE_RECORD_WRITER, path.c_str(), nullptr);
            _exit(127);
        }
        close(out[1]);
        // How many moments and answers the writer had returned from when it was killed: a
        // line each, an answer's line "a".
        size_t lines = 0, answers = 0;
        char buf[4096];
        const auto count = [&](ssize_t n) {
            lines += static_cast<size_t>(std::count(buf, buf + n, '\n'));
            answers += static_cast<size_t>(std::count(buf, buf + n, 'a'));
        };
        const auto killAt = Clock::now() + std::chrono::milliseconds(lifeMs(random));
        while (Clock::now() < killAt) {
            pollfd p{out[0], POLLIN, 0};
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(killAt - Clock::now());
            if (poll(&p, 1, static_cast<int>(left.count()) + 1) <= 0) continue;
            const ssize_t n = read(out[0], buf, sizeof buf);
            if (n <= 0) break;
            count(n);
        }
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        // What was said after the kill was sent was written before it too.
        for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;)
            count(n);
        close(out[0]);
        const size_t moments = lines - answers;

        // A record is made whole under another name: none, or one that opens with its start.
        if (!std::filesystem::exists(path)) {
            EXPECT_EQ(moments, 0u);
            continue;
        }
        const mv::RunReadResult read = mv::ReadRunRecord(path);
        ASSERT_TRUE(read.ok()) << read.Error;
        const auto& ticks = read.Record->Ticks;
        for (size_t i = 0; i < ticks.size(); ++i) {
            ASSERT_EQ(ticks[i].Index, static_cast<int64_t>(i));
            ASSERT_EQ(ticks[i].Vessels.at(5).Pos.X, static_cast<double>(i) * 0.001);
        }
        EXPECT_GE(ticks.size(), std::max<size_t>(moments, 1));
        EXPECT_GE(read.Record->Answers.size(), answers);
    }
}

} // namespace
