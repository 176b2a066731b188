// The boundary every window procedure and hook runs its work through.
#include "app/guard.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

#include "app/form1.h"
#include "app/texts.h"
#include "tests/unit/fake_host.h"

namespace {

namespace texts = app::texts;

TEST(CallbackBoundary, EveryThrownKindIsReportedAndTheFallbackReturned) {
    struct Case {
        const char* name;
        void (*thrower)();
        std::wstring operation;
        std::wstring reason;
    };
    const Case cases[] = {
        {"host error", [] { throw app::HostError(L"op", L"why"); }, L"op", L"why"},
        {"standard", [] { throw std::out_of_range("index 7"); }, texts::kUnexpectedFailure,
         L"index 7"},
        {"allocation", [] { throw std::bad_alloc(); }, texts::kUnexpectedFailure,
         L"std::bad_alloc"},
        {"anything", [] { throw 42; }, texts::kUnexpectedFailure, texts::kUnknownReason},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake::FakeSystem sys;
        fake::FakeHost host(sys);
        EXPECT_EQ(app::runGuarded(&host, -1L,
                                  [&] {
                                      c.thrower();
                                      return 5L;
                                  }),
                  -1L);
        ASSERT_EQ(host.errors.size(), 1u);
        EXPECT_EQ(host.errors[0], c.operation);
        EXPECT_EQ(host.reasons[0], c.reason);
        // The handler form: stopped, reported once, the program goes on.
        EXPECT_FALSE(app::runGuarded(host, [&] { c.thrower(); }));
        EXPECT_EQ(host.errors.size(), 2u);
    }
}

TEST(CallbackBoundary, NothingEscapesEvenWithoutAWorkingReport) {
    fake::FakeSystem sys;
    fake::FakeHost host(sys);
    EXPECT_EQ(app::runGuarded(&host, 0, [] { return 7; }), 7);
    EXPECT_TRUE(host.errors.empty());
    // No host to tell (a window not yet attached), and a report that throws:
    // the boundary still holds; were it to leak, the test would terminate.
    EXPECT_EQ(app::runGuarded(nullptr, 3, []() -> int { throw std::runtime_error("x"); }), 3);
    host.failReport = true;
    EXPECT_EQ(app::runGuarded(&host, 4, []() -> int { throw 1; }), 4);
    EXPECT_FALSE(app::runGuarded(host, [] { throw app::HostError(L"op", L"why"); }));
}

}  // namespace
