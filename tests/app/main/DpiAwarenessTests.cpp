// The order in which the program asks for real pixels: every mix of calls present, missing,
// refusing and finding the awareness settled already.
#include <gtest/gtest.h>

#include <string>

#include "app/main/DpiAwareness.h"

namespace {

using R = DpiCallResult;
using C = DpiAwarenessChoice;

// One call's answer; a missing call is left empty in the table of calls.
struct Answer {
    bool present;
    R result;
};
const Answer kMissing = {false, R::Missing};
Answer Says(R r) { return {true, r}; }

}  // namespace

TEST(DpiAwarenessTest, TriesNewestFirstAndStopsAtTheFirstThatSettlesIt) {
    struct Row {
        Answer v2, v1, system;
        C choice;
        std::string calls;  // the calls made, in order: 2 = v2, 1 = v1, s = system-aware
    } rows[] = {
        {Says(R::Set), Says(R::Set), Says(R::Set), C::PerMonitorV2, "2"},
        {kMissing, Says(R::Set), Says(R::Set), C::PerMonitor, "1"},
        {Says(R::Failed), Says(R::Set), Says(R::Set), C::PerMonitor, "21"},
        {kMissing, kMissing, Says(R::Set), C::SystemAware, "s"},
        {Says(R::Failed), Says(R::Failed), Says(R::Set), C::SystemAware, "21s"},
        {kMissing, Says(R::Missing), Says(R::Set), C::SystemAware, "1s"},
        // The manifest settled it: the older forms are not tried.
        {Says(R::AlreadySet), Says(R::Set), Says(R::Set), C::AlreadySet, "2"},
        {kMissing, Says(R::AlreadySet), Says(R::Set), C::AlreadySet, "1"},
        {Says(R::Failed), Says(R::Failed), Says(R::Failed), C::None, "21s"},
        {kMissing, kMissing, kMissing, C::None, ""},
    };
    int n = 0;
    for (const Row& row : rows) {
        std::string made;
        DpiAwarenessCalls calls;
        auto bind = [&made](const Answer& a, char name) -> std::function<R()> {
            if (!a.present) return {};
            return [&made, a, name] {
                made += name;
                return a.result;
            };
        };
        calls.setPerMonitorV2 = bind(row.v2, '2');
        calls.setPerMonitor = bind(row.v1, '1');
        calls.setSystemAware = bind(row.system, 's');
        C choice = ChooseDpiAwareness(calls);
        EXPECT_EQ(static_cast<int>(choice), static_cast<int>(row.choice)) << "row " << n;
        EXPECT_EQ(made, row.calls) << "row " << n;
        ++n;
    }
}
