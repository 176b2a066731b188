#include "app/delay.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

#include "tests/unit/fake_host.h"

namespace {

constexpr std::uint32_t kNoEvents = std::numeric_limits<std::uint32_t>::max();

struct Clocked {
    fake::FakeSystem sys;
    fake::FakeHost host{sys};
    fake::FakeBindings api{sys};

    Clocked(std::uint32_t start, std::uint32_t readStep, std::uint32_t wakeAfter) {
        sys.now = start;
        sys.readStep = readStep;
        host.wakeAfter = wakeAfter;
    }
    void delay(std::int16_t milliseconds) { app::Delay(host, api, milliseconds); }
    // Counter readings taken after the first, relative to it, modulo 2^32.
    std::vector<std::uint32_t> elapsedReadings() const {
        std::vector<std::uint32_t> out;
        for (std::size_t i = 1; i < sys.reads.size(); ++i)
            out.push_back(sys.reads[i] - sys.reads[0]);
        return out;
    }
    // Index in the full log of the last counter reading.
    std::size_t lastReadAt() const {
        const auto calls = sys.all();
        for (std::size_t i = calls.size(); i-- > 0;) {
            if (calls[i] == "timeGetTime") return i;
        }
        return calls.size();
    }
};

TEST(Delay, CountOfZeroOrLessReturnsWithoutPumpingOrWaiting) {
    for (const std::int16_t count : {std::int16_t{0}, std::int16_t{-1}, std::int16_t{-32768}}) {
        SCOPED_TRACE(count);
        Clocked c(5000, 0, kNoEvents);
        c.delay(count);
        EXPECT_EQ(c.host.pumps, 0);
        EXPECT_TRUE(c.host.waits.empty());
        EXPECT_EQ(c.sys.now, 5000u);
        for (const std::string& call : c.sys.all()) EXPECT_EQ(call, "timeGetTime");
    }
}

TEST(Delay, EndsAtTheFirstReadingThatReachesTheCountAndSleepsMeanwhile) {
    struct Case {
        const char* name;
        std::uint32_t start;
        std::int16_t count;
        std::uint32_t readStep;
        std::uint32_t wakeAfter;
        int mostPumps;
    };
    const Case cases[] = {
        {"still counter, no events", 1000, 2000, 0, kNoEvents, 3},
        {"ticking counter, no events", 1000, 2000, 7, kNoEvents, 3},
        {"events every 300 ms", 1000, 2000, 1, 300, 10},
        {"one reading overshoots", 1000, 2000, 2500, kNoEvents, 0},
        {"one ms", 1000, 1, 0, kNoEvents, 3},
        {"one short, then exact", 1000, 2, 1, kNoEvents, 3},
        {"counter wraps", 0xFFFFF000u, 32767, 0, kNoEvents, 3},
        {"counter wraps, ticking, events", 0xFFFFFF00u, 32767, 13, 1000, 40},
        {"crosses 2^31", 0x7FFFFF00u, 32767, 0, kNoEvents, 3},
        {"starts at the top", 0xFFFFFFFFu, 2000, 0, 500, 6},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Clocked c(k.start, k.readStep, k.wakeAfter);
        c.delay(k.count);
        const auto wanted = static_cast<std::uint32_t>(k.count);
        const auto elapsed = c.elapsedReadings();
        ASSERT_FALSE(elapsed.empty());
        // Not before: every earlier reading was short of the count.
        for (std::size_t i = 0; i + 1 < elapsed.size(); ++i) EXPECT_LT(elapsed[i], wanted);
        // Not stretched: the last reading reached it, by no more than one read step.
        EXPECT_GE(elapsed.back(), wanted);
        EXPECT_LE(elapsed.back(), wanted + k.readStep);
        if (k.readStep == 0) {
            EXPECT_EQ(c.sys.now - k.start, wanted);
        }
        // Nothing is pumped or waited for once the count is reached.
        EXPECT_EQ(c.lastReadAt() + 1, c.sys.all().size());
        // Sleeps for at most what is left, instead of spinning.
        for (const auto& wait : c.host.waits) {
            EXPECT_GT(wait.milliseconds, 0u);
            EXPECT_LE(wait.milliseconds, wanted - (wait.lastRead - c.sys.reads[0]));
        }
        EXPECT_LE(c.host.pumps, k.mostPumps);
    }
}

TEST(Delay, HandlesEventsDuringTheWait) {
    Clocked c(0, 0, 300);
    int handled = 0;
    c.host.onPump = [&] {
        ++handled;
        c.sys.now += 40;  // handling an event takes time too
    };
    c.delay(2000);
    EXPECT_GE(handled, 2);
    EXPECT_EQ(handled, c.host.pumps);
    EXPECT_GE(c.sys.reads.back() - c.sys.reads.front(), 2000u);
    // Overshoot only by the handling of the last event.
    EXPECT_LE(c.sys.reads.back() - c.sys.reads.front(), 2000u + 40u);
}

TEST(Delay, QuitRequestEndsTheWaitEarly) {
    for (const int quitAtPass : {1, 2, 3}) {
        SCOPED_TRACE(quitAtPass);
        Clocked c(0, 0, 300);
        c.host.onPump = [&] {
            if (c.host.pumps == quitAtPass) c.host.quitRequested = true;
        };
        c.delay(2000);
        EXPECT_EQ(c.host.pumps, quitAtPass);
        EXPECT_EQ(c.host.waits.size(), static_cast<std::size_t>(quitAtPass - 1));
        EXPECT_EQ(c.sys.now, static_cast<std::uint32_t>(300 * (quitAtPass - 1)));
        EXPECT_EQ(c.sys.all().back(), "pumpEvents");
    }
}

}  // namespace
