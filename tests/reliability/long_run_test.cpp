// Thousands of random drawing calls of every kind on a Screen inside guard
// bytes: after each call the guards, the Screen's header and every pixel
// outside the clip region are as they were, figures that can be taken back
// give the screen back, no block is left behind and no call runs for long.
// The same run on every wide CPU path leaves, call by call, the pixels,
// counters and answers of the plain path, and a seeded run writes exactly
// the trace kept beside this test. ZEL_LONG_RUN_CALLS raises the number of
// calls for a long run by hand; ZEL_LONG_RUN_SEED repeats the run of a
// reported seed.

#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "test_files.h"
#include "guarded_screen.h"
#include "platform/cpu_features.h"
#include "random_drawing.h"
#include "test_support.h"
#include "video/palette.h"

namespace {

unsigned long fromEnvironment(const char* name, unsigned long fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? std::strtoul(value, nullptr, 10) : fallback;
}

const unsigned long calls = fromEnvironment("ZEL_LONG_RUN_CALLS", 6000);
const auto seed = static_cast<uint32_t>(fromEnvironment("ZEL_LONG_RUN_SEED", 20240611));

// A call that has not returned after two seconds ends the process, named
// in this message: a hang shows as the seed and number of the call, not as
// a run that never ends. No call draws more than a few screens.
char hung[80];
void onHang(int)
{
    [[maybe_unused]] const ssize_t written = write(2, hung, std::strlen(hung));
    std::abort();
}

// One call of a run as a check sees it, right after the call.
struct Step {
    unsigned long index;
    const std::string& region;
    const std::string& what;
    const std::vector<unsigned char>& before;  // the pixels before the call
    const zeltest::GuardedScreen& screen;
};

// Runs the calls on a Screen of w x h; check() says what else went wrong,
// or nothing. Wider than high: a smart line never covers more pixels than a
// row holds.
template <class Check> void run(uint32_t seed, int w, int h, unsigned long calls, Check check)
{
    zeltest::GuardedScreen screen(w, h);
    zeltest::RandomDrawing drawing(seed, screen);
    const size_t baseline = zeltest::liveBlockCount() - drawing.heldBlocks();
    std::vector<unsigned char> before(screen.size());
    std::string region;
    std::signal(SIGALRM, onHang);
    for (unsigned long i = 0; i < calls; ++i) {
        if (i % 40 == 0)
            region = drawing.newRegion();
        std::copy(screen.pixels(), screen.pixels() + screen.size(), before.begin());
        std::snprintf(hung, sizeof hung, "seed %u, call %lu has not returned after 2 s\n", seed, i);
        alarm(2);
        const std::string what = drawing.call();
        std::string wrong = screen.damage(before);
        if (wrong.empty())
            wrong = drawing.problem();
        if (wrong.empty())
            wrong = check(Step{i, region, what, before, screen});
        if (wrong.empty() && drawing.undo())
            wrong = std::equal(before.begin(), before.end(), screen.pixels()) ? screen.damage(before)
                                                                                : "taking it back did not give the screen back";
        if (wrong.empty() && zeltest::liveBlockCount() != baseline + drawing.heldBlocks())
            wrong = "blocks were left behind";
        if (!wrong.empty()) {
            ADD_FAILURE() << "seed " << seed << ", call " << i << " in " << region << ": " << what << ": " << wrong;
            break;
        }
    }
    alarm(0);
}

TEST(LongRun, RandomCallsStayInsideTheRegionAndTheScreen)
{
    run(seed, 90, 64, calls, [](const Step&) { return std::string(); });
}

// The checks above can fail: a byte written just past the last pixel shows.
TEST(LongRun, GuardsSeeAWritePastTheLastPixel)
{
    zeltest::GuardedScreen screen(10, 4);
    const std::vector<unsigned char> before(screen.pixels(), screen.pixels() + screen.size());
    EXPECT_EQ(screen.damage(before), "");
    screen.pixels()[42] = 9;
    EXPECT_EQ(screen.damage(before), "guard byte 42 from the first pixel changed");
}

// What a call leaves that a path could change: the pixels, the counters and
// what it answered.
std::string state(const Step& s)
{
    std::string state(reinterpret_cast<const char*>(s.screen.pixels()), s.screen.size());
    return state.append(reinterpret_cast<const char*>(&videoStatistics), sizeof videoStatistics).append(s.what);
}

class EveryPath : public testing::TestWithParam<CpuPath> {};

TEST_P(EveryPath, DrawsThePixelsAndCountsOfThePlainPath)
{
    const CpuPath path = GetParam(), saved = cpuPath();
    if (path > widestCpuPath())
        GTEST_SKIP() << "this CPU does not run the " << zeltest::cpuPathName(path) << " path";
    std::vector<std::string> plain;
    ASSERT_TRUE(selectCpuPath(CpuPath::Plain));
    run(seed, 90, 64, calls / 2, [&](const Step& s) {
        plain.push_back(state(s));
        return std::string();
    });
    ASSERT_FALSE(HasFailure());
    ASSERT_TRUE(selectCpuPath(path));
    run(seed, 90, 64, calls / 2, [&](const Step& s) {
        const std::string got = state(s), &want = plain[s.index];
        const size_t at = static_cast<size_t>(std::mismatch(got.begin(), got.end(), want.begin(), want.end()).first - got.begin());
        const size_t pixels = s.screen.size(), counters = pixels + sizeof videoStatistics;
        return got == want ? std::string()
               : at < pixels   ? "pixel " + std::to_string(at) + " differs from the plain path"
               : at < counters ? "counter byte " + std::to_string(at - pixels) + " differs from the plain path"
                               : "the plain path answered " + want.substr(counters);
    });
    selectCpuPath(saved);
}

INSTANTIATE_TEST_SUITE_P(Paths, EveryPath, testing::Values(CpuPath::Sse2, CpuPath::Avx2, CpuPath::Avx512),
                         [](const testing::TestParamInfo<CpuPath>& info) { return zeltest::cpuPathName(info.param); });

// What a call changed: the rows it wrote, each as its first changed column
// and the bytes from there to its last changed one, in hex.
std::string changes(const Step& s)
{
    static const char hex[] = "0123456789abcdef";
    const unsigned char* now = s.screen.pixels();
    const size_t width = static_cast<size_t>(s.screen.setup().bitmap().width);
    std::string text;
    for (size_t row = 0; row * width < s.before.size(); ++row) {
        size_t first = SIZE_MAX, last = 0;
        for (size_t x = row * width; x < (row + 1) * width; ++x)
            if (now[x] != s.before[x])
                first = std::min(first, x), last = x;
        if (first == SIZE_MAX)
            continue;
        text.append(" ").append(std::to_string(row)).append(",").append(std::to_string(first - row * width)).append(":");
        for (size_t x = first; x <= last; ++x)
            text += {hex[now[x] >> 4], hex[now[x] & 15]};
    }
    return text;
}

// Every call of a seeded run with what it answered, wrote and counted,
// against the trace kept beside this test (ZEL_UPDATE_GOLDEN=1 writes it
// anew): pins the exact pixels and counters of every call where no example
// looks.
TEST(LongRun, TraceOfASeededRun)
{
    std::ostringstream trace;
    ZelVideoStatistics counted = videoStatistics;
    run(7, 48, 32, 3000, [&](const Step& s) {
        if (s.index % 40 == 0)
            trace << s.region << "\n";
        trace << s.what << changes(s);
        const uint32_t* was = &counted.zoomCalls;
        const uint32_t* now = &videoStatistics.zoomCalls;
        for (int k = 0; k < 8; ++k)
            if (now[k] != was[k])
                trace << " #" << k << "+" << now[k] - was[k];
        trace << "\n";
        counted = videoStatistics;
        return std::string();
    });
    const std::string path = zeltest::sourcePath("reliability/trace.txt");
    const char* update = std::getenv("ZEL_UPDATE_GOLDEN");
    if (update && *update == '1')
        zeltest::writeFile(path, trace.str());
    std::ifstream file(path);
    std::istringstream got(trace.str());
    std::string want, line;
    for (int n = 1; std::getline(got, line); ++n) {
        if (!std::getline(file, want))
            want = "(the end of the trace)";
        ASSERT_EQ(line, want) << "line " << n << " of " << path;
    }
    EXPECT_FALSE(std::getline(file, want)) << path << " goes on after the run";
}

}  // namespace
