// The engine session against a child that misbehaves on purpose: every way a reply can fail
// is one fault with its name, a wait never ends without a reply or a fault, a window's
// non-blocking reads see a late reply arrive, and every child is killed and reaped. The
// same tests run under Wine, where the child's output comes through a reading thread.
#include "engine_session.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace engine_session {
namespace {

std::string child(const std::string& mode) {
    const std::string dir = dabtools::program_directory();
#ifdef _WIN32
    return "\"" + dir + "\\session-child.exe\" " + mode;
#else
    return "\"" + dir + "/session-child\" " + mode;
#endif
}

Due due_in(int ms) {
    const auto now = Clock::now();
    return {"move", "while a move was due", now, now + std::chrono::milliseconds(ms)};
}

struct Case {
    const char* mode;
    int deadline_ms;
    Fault fault; // None: the reply is read
};

class SessionReply : public ::testing::TestWithParam<Case> {};

TEST_P(SessionReply, IsReadOrNamedAsItsFault) {
    const Case& c = GetParam();
    EngineSession s;
    ASSERT_TRUE(s.start(child(c.mode)));
    ASSERT_TRUE(s.send("ping"));
    s.expect(due_in(c.deadline_ms));
    std::string line;
    const bool read = s.read(line, [](const std::string& t) { return t[0] == '*'; });
    EXPECT_EQ(read, c.fault == Fault::None) << s.detail();
    EXPECT_EQ(fault_name(s.fault()), std::string(fault_name(c.fault))) << s.detail();
    if (read) {
        EXPECT_EQ(line, "move ping");
        EXPECT_EQ(s.state(), EngineSession::State::Ready);
        EXPECT_TRUE(s.quit(false, std::chrono::milliseconds(3000)));
    } else {
        // A fault ends the program at once, and it is reaped.
        EXPECT_EQ(s.state(), EngineSession::State::Faulted);
        EXPECT_TRUE(s.process().exit_info().exited);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Children, SessionReply,
    ::testing::Values(Case{"echo", 5000, Fault::None}, Case{"chatter", 5000, Fault::None},
                      Case{"late 1500", 300, Fault::NoReply}, Case{"silent", 300, Fault::NoReply},
                      Case{"exit 3", 5000, Fault::Crash}, Case{"exit 0", 5000, Fault::Exited},
                      Case{"closed", 5000, Fault::Closed}, Case{"garbage", 5000, Fault::Garbled},
                      Case{"flood", 5000, Fault::Garbled}),
    [](const ::testing::TestParamInfo<Case>& info) {
        std::string name = info.param.mode;
        for (char& ch : name)
            if (ch == ' ') ch = '_';
        return name;
    });

// A wait that ends a moment early must not pass for one that ended: every wait for a silent
// child ends in no-reply, never in nothing at all.
TEST(EngineSession, ASilentChildIsAlwaysNoReply) {
    for (int i = 0; i < 10; ++i) {
        EngineSession s;
        ASSERT_TRUE(s.start(child("silent")));
        ASSERT_TRUE(s.send("ping"));
        s.expect(due_in(15));
        std::string line;
        EXPECT_EQ(s.next(line, Clock::now() + std::chrono::seconds(10)), EngineSession::Got::Fault)
            << "wait " << i;
        EXPECT_EQ(s.fault(), Fault::NoReply) << "wait " << i;
    }
}

// A window never waits: it asks with a deadline of now, and learns of the reply when it has
// come, well within the reply's own deadline.
TEST(EngineSession, AWindowSeesALateReplyArriveWithoutWaiting) {
    std::atomic<int> notes{0};
    EngineSession s;
    ASSERT_TRUE(s.start(child("late 400"), true, [&notes]() { ++notes; }));
    ASSERT_TRUE(s.send("ping"));
    s.expect(due_in(20000));
    std::string line;
    EXPECT_EQ(s.next(line, Clock::now()), EngineSession::Got::Nothing);
    EXPECT_EQ(s.state(), EngineSession::State::Waiting);
    EngineSession::Got got = EngineSession::Got::Nothing;
    const auto give_up = Clock::now() + std::chrono::seconds(20);
    while (got == EngineSession::Got::Nothing && Clock::now() < give_up)
        got = s.next(line, Clock::now() + std::chrono::milliseconds(50));
    EXPECT_EQ(got, EngineSession::Got::Line);
    EXPECT_EQ(line, "move ping");
#ifdef _WIN32
    // The reading thread tells the window just after it has queued the line, so the line
    // can be read a moment before the note comes.
    for (auto until = Clock::now() + std::chrono::seconds(10);
         notes.load() == 0 && Clock::now() < until;)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_GT(notes.load(), 0);
#endif
    s.kill();
    EXPECT_TRUE(s.process().exit_info().exited);
}

// A program that neither reads nor answers is killed and reaped, and a new start in the same
// session is a new program.
TEST(EngineSession, AHangingChildIsKilledAndReaped) {
    EngineSession s;
    ASSERT_TRUE(s.start(child("hang")));
    EXPECT_FALSE(s.process().poll_exit());
    s.kill();
    EXPECT_TRUE(s.process().exit_info().exited);
    EXPECT_EQ(s.state(), EngineSession::State::Idle);
    ASSERT_TRUE(s.start(child("echo")));
    EXPECT_TRUE(s.ask_name(5000)) << s.detail();
    EXPECT_EQ(s.name(), "child");
    EXPECT_TRUE(s.quit(true, std::chrono::milliseconds(3000)));
}

TEST(EngineSession, AProgramThatCannotStartIsStartFailed) {
    EngineSession s;
    EXPECT_FALSE(s.start("\"" + dabtools::program_directory() + "/no-such-child\""));
    EXPECT_EQ(s.fault(), Fault::StartFailed);
    EXPECT_FALSE(s.send("ping"));
}

TEST(Fault, EveryFaultHasOneNameAndBack) {
    for (int f = 0; f <= static_cast<int>(Fault::Closed); ++f)
        EXPECT_EQ(fault_of_name(fault_name(static_cast<Fault>(f))), static_cast<Fault>(f))
            << fault_name(static_cast<Fault>(f));
}

} // namespace
} // namespace engine_session
