// The lock's helper process: lines both ways, default signals whatever this
// program ignores, and an end that is told (or not, when it was stopped).
#include "platform/ChildProcess.h"
#include "tests/support/Wait.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <csignal>
#include <string>
#include <vector>

using skyloom::platform::ChildProcess;
using skyloom::test::waitUntil;

namespace {

void ensureApplication() {
    static int argc = 1;
    static char arg0[] = "skyloom-test";
    static char* argv[] = {arg0, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

// Runs the event loop until `done` or the deadline.
template <class Done> bool pumpUntil(Done done) {
    return waitUntil([&] {
        QCoreApplication::processEvents();
        return done();
    });
}

struct Watched {
    ChildProcess child;
    std::vector<std::string> lines;
    bool started = false;
    int ended = 0;
    Watched() {
        child.started = [this] { started = true; };
        child.said = [this](const std::string& line) { lines.push_back(line); };
        child.ended = [this] { ++ended; };
    }
};

} // namespace

TEST(ChildProcess, TalksInLinesAndTellsItsEnd) {
    ensureApplication();
    Watched w;
    ASSERT_TRUE(w.child.start({"/bin/sh", "-c",
                               "echo \"ready $GREETING\"; while read l; do "
                               "[ \"$l\" = quit ] && exit 0; echo \"got $l\"; done"},
                              {{"GREETING", "hello there"}}));
    EXPECT_FALSE(w.child.start({"/bin/true"}, {})); // one at a time
    ASSERT_TRUE(pumpUntil([&] { return w.lines.size() == 1; }));
    EXPECT_TRUE(w.started);
    EXPECT_EQ(w.lines[0], "ready hello there");
    w.child.tell("hold");
    w.child.tell("a\tb");
    ASSERT_TRUE(pumpUntil([&] { return w.lines.size() == 3; }));
    EXPECT_EQ(w.lines[1], "got hold");
    EXPECT_EQ(w.lines[2], "got a\tb");
    w.child.tell("quit");
    ASSERT_TRUE(pumpUntil([&] { return w.ended == 1; }));
    EXPECT_FALSE(w.child.active());
    // A program that cannot start ends at once, and may be started again.
    ASSERT_TRUE(w.child.start({"/nonexistent/renderer"}, {}));
    ASSERT_TRUE(pumpUntil([&] { return w.ended == 2; }));
    EXPECT_FALSE(w.child.active());
}

TEST(ChildProcess, SignalsThisProgramIgnoresStillEndTheChild) {
    ensureApplication();
    // As the lock does: this program ignores what could end it.
    const auto oldUsr1 = std::signal(SIGUSR1, SIG_IGN);
    const auto oldTerm = std::signal(SIGTERM, SIG_IGN);
    Watched w;
    ASSERT_TRUE(w.child.start({"/bin/sh", "-c", "kill -USR1 $$; echo survived"}, {}));
    ASSERT_TRUE(pumpUntil([&] { return w.ended == 1; }));
    EXPECT_TRUE(w.lines.empty()); // the signal ended it before the echo
    // stop() ends a child that waits for ever, without telling `ended`.
    ASSERT_TRUE(w.child.start({"/bin/sh", "-c", "echo waiting; read never"}, {}));
    ASSERT_TRUE(pumpUntil([&] { return !w.lines.empty(); }));
    w.child.stop();
    EXPECT_FALSE(w.child.active());
    QCoreApplication::processEvents();
    EXPECT_EQ(w.ended, 1);
    std::signal(SIGUSR1, oldUsr1);
    std::signal(SIGTERM, oldTerm);
}
