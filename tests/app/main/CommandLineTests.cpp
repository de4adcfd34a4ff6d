// The command line's grammar: every accepted form and every refusal, one row each.
#include <gtest/gtest.h>

#include "app/main/CommandLine.h"

namespace {

struct Row {
    std::vector<std::wstring> args;
    CommandAction action;
    CaptureTarget target;
};

}  // namespace

TEST(CommandLineTest, ParsesEveryFormAndRefusesBadOnes) {
    using A = CommandAction;
    using T = CaptureTarget;
    const Row kRows[] = {
        {{}, A::RunProgram, T::Full},
        {{L"--help"}, A::Help, T::Full},
        {{L"--capture", L"full", L"--help"}, A::Help, T::Full},
        {{L"--version"}, A::Version, T::Full},
        {{L"--capture", L"full"}, A::Capture, T::Full},
        {{L"--capture", L"rect:-1920,-5,100,50"}, A::Capture, T::Rect},
        {{L"--capture", L"window:记事本"}, A::Capture, T::Window},
        {{L"--capture", L"current"}, A::Capture, T::Current},
        {{L"--capture", L"active"}, A::Capture, T::Active},
        {{L"--capture", L"client"}, A::Capture, T::Client},
        {{L"--capture", L"object"}, A::Capture, T::Object},
        {{L"--capture", L"region"}, A::Capture, T::Region},
        {{L"--out", L"a.png", L"--clipboard", L"--delay", L"0", L"--no-effects", L"--capture",
          L"full"},
         A::Capture,
         T::Full},
        // Refusals.
        {{L"--capture"}, A::Error, T::Full},
        {{L"--capture", L"screen"}, A::Error, T::Full},
        {{L"--capture", L"rect:1,2,3"}, A::Error, T::Full},
        {{L"--capture", L"rect:1,2,3,4,5"}, A::Error, T::Full},
        {{L"--capture", L"rect:1,2,-3,4"}, A::Error, T::Full},
        {{L"--capture", L"rect:1,2,0,4"}, A::Error, T::Full},
        {{L"--capture", L"rect:1,2,x,4"}, A::Error, T::Full},
        {{L"--capture", L"rect:1,2,99999999999,4"}, A::Error, T::Full},
        {{L"--capture", L"rect:1,2,3,４"}, A::Error, T::Full},  // a fullwidth digit
        {{L"--capture", L"window:"}, A::Error, T::Full},
        {{L"--capture", L"full", L"--delay", L"-5"}, A::Error, T::Full},
        {{L"--capture", L"full", L"--delay", L"15001"}, A::Error, T::Full},
        {{L"--capture", L"full", L"--delay"}, A::Error, T::Full},
        {{L"--capture", L"full", L"--out"}, A::Error, T::Full},
        {{L"--capture", L"full", L"--colour"}, A::Error, T::Full},
        {{L"--out", L"a.png"}, A::Error, T::Full},
    };
    for (const Row& row : kRows) {
        std::wstring joined;
        for (const std::wstring& a : row.args) joined += a + L" ";
        SCOPED_TRACE(std::string(joined.begin(), joined.end()));
        CommandLineRequest r = ParseCommandLine(row.args);
        EXPECT_EQ(static_cast<int>(r.action), static_cast<int>(row.action));
        if (row.action == A::Capture) {
            EXPECT_EQ(static_cast<int>(r.target), static_cast<int>(row.target));
        }
        if (row.action == A::Error) {
            EXPECT_FALSE(r.error.empty()) << "a refusal without a message";
        }
    }
    CommandLineRequest r =
        ParseCommandLine({L"--capture", L"rect:-1920,-5,100,50", L"--out", L"x.bmp", L"--clipboard",
                          L"--delay", L"250", L"--no-effects"});
    EXPECT_EQ(r.x, -1920);
    EXPECT_EQ(r.y, -5);
    EXPECT_EQ(r.cx, 100);
    EXPECT_EQ(r.cy, 50);
    EXPECT_EQ(r.outFile, L"x.bmp");
    EXPECT_TRUE(r.clipboard);
    EXPECT_EQ(r.delayMs, 250);
    EXPECT_FALSE(r.effects);
    EXPECT_EQ(ParseCommandLine({L"--capture", L"window:a b"}).title, L"a b");
}
