// The DPI awareness the process declares: per monitor v2 where Windows has
// it and takes it, else the system's DPI, and never per monitor v1, which
// leaves the title bar and message boxes unscaled. Wine refuses v2, so the
// order is only seen here.
#include "system/process_setup.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::vector<std::string> calls;
bool contextTaken = false;

int PROCESS_SETUP_API setContext(void* context) {
    calls.push_back("context " + std::to_string(reinterpret_cast<std::intptr_t>(context)));
    return contextTaken;
}
int PROCESS_SETUP_API setSystemAware() {
    calls.push_back("system");
    return 1;
}

TEST(ProcessSetup, AsksPerMonitorV2FirstThenTheSystemsDpiAndNeverV1) {
    struct Case {
        const char* windows;
        bool hasContext, takesContext, hasSystemAware;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"10 1703 and later", true, true, true, {"context -4"}},
        {"refuses v2", true, false, true, {"context -4", "system"}},
        {"Vista to 10 1607", false, false, true, {"system"}},
        {"neither", false, false, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.windows);
        calls.clear();
        contextTaken = c.takesContext;
        platform::declareDpiAware(
            {c.hasContext ? setContext : nullptr, c.hasSystemAware ? setSystemAware : nullptr});
        EXPECT_EQ(calls, c.expected);
    }
}

}  // namespace
