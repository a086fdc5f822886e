// Thousands of random drawing calls of every family on a Screen inside guard
// bytes: after each call the guards, the Screen's header and every pixel
// outside the clip region are as they were, figures that can be taken back
// give the screen back, and no block is left behind. The same run on every
// wide CPU path leaves, call by call, the pixels and counters of the plain
// path. ZEL_LONG_RUN_CALLS raises the number of calls for a long run by hand;
// ZEL_LONG_RUN_SEED repeats the run of a reported seed.

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <fstream>
#include <sstream>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "draw/draw.h"
#include "golden.h"
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

// The first pixel outside the region that is not what it was, or empty.
std::string changedOutside(const std::vector<unsigned char>& before, const zeltest::GuardedScreen& screen)
{
    const ZelClipRgn& r = screen.setup().region();
    const Bitmap& b = screen.setup().bitmap();
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x)
            if (!r.contains(x, y) && screen.pixels()[static_cast<size_t>(y) * b.width + x] != before[y * b.width + x])
                return "pixel " + std::to_string(x) + "," + std::to_string(y) + " outside the region changed";
    return {};
}

// Ends the process when one call has run for longer than limit, naming it:
// a hang shows as the seed and number of the call, not as a run that never
// ends. The limit is generous, for no call draws more than a few screens.
class Watchdog {
public:
    explicit Watchdog(std::chrono::milliseconds limit) : limit_(limit), thread_([this] { watch(); }) {}
    ~Watchdog()
    {
        done_ = true;
        thread_.join();
    }
    void starting(unsigned long call)
    {
        call_ = call;
        since_ = now();
    }

private:
    static int64_t now() { return std::chrono::steady_clock::now().time_since_epoch() / std::chrono::milliseconds(1); }
    void watch()
    {
        for (; !done_; std::this_thread::sleep_for(std::chrono::milliseconds(10))) {
            if (now() - since_ > limit_.count()) {
                std::fprintf(stderr, "seed %u, call %lu has not returned after %lld ms\n", seed, call_.load(),
                             static_cast<long long>(limit_.count()));
                std::abort();
            }
        }
    }

    const std::chrono::milliseconds limit_;
    std::atomic<bool> done_{false};
    std::atomic<unsigned long> call_{0};
    std::atomic<int64_t> since_{now()};
    std::thread thread_;
};

// Runs the calls; check() sees each call's description and says what went
// wrong, or nothing. Wider than high: a smart line never covers more pixels
// than a row holds.
template <class Check> void run(unsigned long calls, Check check)
{
    zeltest::GuardedScreen screen(90, 64);
    zeltest::RandomDrawing drawing(seed, screen);
    const size_t baseline = zeltest::liveBlockCount() - drawing.heldBlocks();
    std::vector<unsigned char> before(screen.size());
    std::string region;
    Watchdog watchdog(std::chrono::seconds(2));
    for (unsigned long i = 0; i < calls; ++i) {
        if (i % 40 == 0)
            region = drawing.newRegion();
        std::copy(screen.pixels(), screen.pixels() + screen.size(), before.begin());
        watchdog.starting(i);
        const std::string what = drawing.call();
        std::string wrong = screen.damage();
        if (wrong.empty())
            wrong = changedOutside(before, screen);
        if (wrong.empty())
            wrong = drawing.problem();
        if (wrong.empty())
            wrong = check(what, screen);
        if (wrong.empty() && drawing.undo()) {
            wrong = screen.damage();
            if (wrong.empty() && !std::equal(before.begin(), before.end(), screen.pixels()))
                wrong = "drawing it again did not give the screen back";
        }
        if (wrong.empty() && zeltest::liveBlockCount() != baseline + drawing.heldBlocks())
            wrong = "blocks were left behind";
        if (!wrong.empty()) {
            ADD_FAILURE() << "seed " << seed << ", call " << i << " in " << region << ": " << what << ": " << wrong;
            return;
        }
    }
}

TEST(LongRun, RandomCallsStayInsideTheRegionAndTheScreen)
{
    run(calls, [](const std::string&, const zeltest::GuardedScreen&) { return std::string(); });
}

// The checks above can fail: a byte written just past the last pixel shows.
TEST(LongRun, GuardsSeeAWritePastTheLastPixel)
{
    zeltest::GuardedScreen screen(10, 4);
    EXPECT_EQ(screen.damage(), "");
    screen.pixels()[42] = 9;
    EXPECT_EQ(screen.damage(), "guard byte 42 from the first pixel changed");
}

// What a call leaves that a path could change: the pixels and the counters.
std::string state(const zeltest::GuardedScreen& screen)
{
    std::string s(reinterpret_cast<const char*>(screen.pixels()), screen.size());
    return s.append(reinterpret_cast<const char*>(&videoStatistics), sizeof videoStatistics);
}

class EveryPath : public testing::TestWithParam<CpuPath> {};

TEST_P(EveryPath, DrawsThePixelsAndCountsOfThePlainPath)
{
    const CpuPath path = GetParam(), saved = cpuPath();
    if (path > widestCpuPath())
        GTEST_SKIP() << "this CPU does not run the " << zeltest::cpuPathName(path) << " path";
    std::vector<std::string> plain;
    ASSERT_TRUE(selectCpuPath(CpuPath::Plain));
    run(calls / 2, [&](const std::string&, const zeltest::GuardedScreen& s) {
        plain.push_back(state(s));
        return std::string();
    });
    ASSERT_TRUE(selectCpuPath(path));
    size_t i = 0;
    run(calls / 2, [&](const std::string&, const zeltest::GuardedScreen& s) {
        const std::string got = state(s);
        const std::string& want = plain[i++];
        if (got == want)
            return std::string();
        const size_t at = static_cast<size_t>(std::mismatch(got.begin(), got.end(), want.begin()).first - got.begin());
        return std::string(zeltest::cpuPathName(path)) + " differs from the plain path at " +
               (at < s.size() ? "pixel " + std::to_string(at) : "counter byte " + std::to_string(at - s.size()));
    });
    EXPECT_EQ(i, plain.size());
    selectCpuPath(saved);
}

INSTANTIATE_TEST_SUITE_P(Paths, EveryPath, testing::Values(CpuPath::Sse2, CpuPath::Avx2, CpuPath::Avx512),
                         [](const testing::TestParamInfo<CpuPath>& info) { return zeltest::cpuPathName(info.param); });

}  // namespace

namespace {

// What a call changed: the rows it wrote, each as its first changed column
// and the bytes from there to its last changed one, in hex.
std::string changes(const std::vector<unsigned char>& before, const zeltest::GuardedScreen& screen, int width)
{
    static const char hex[] = "0123456789abcdef";
    std::string s;
    for (size_t row = 0; row * width < before.size(); ++row) {
        size_t first = SIZE_MAX, last = 0;
        for (size_t x = 0; x < static_cast<size_t>(width); ++x)
            if (screen.pixels()[row * width + x] != before[row * width + x])
                first = std::min(first, x), last = x;
        if (first == SIZE_MAX)
            continue;
        s.append(" ").append(std::to_string(row)).append(",").append(std::to_string(first)).append(":");
        for (size_t x = first; x <= last; ++x)
            s += {hex[screen.pixels()[row * width + x] >> 4], hex[screen.pixels()[row * width + x] & 15]};
    }
    return s;
}

// Every call of a seeded run with what it wrote and counted, against the
// trace kept beside this test (ZEL_UPDATE_GOLDEN=1 writes it anew): pins the
// exact pixels and counters of every family where no example looks.
TEST(LongRun, TraceOfASeededRun)
{
    std::ostringstream trace;
    zeltest::GuardedScreen screen(48, 32);
    zeltest::RandomDrawing drawing(7, screen);
    std::vector<unsigned char> before(screen.size());
    for (int i = 0; i < 1500; ++i) {
        if (i % 40 == 0)
            trace << drawing.newRegion() << "\n";
        std::copy(screen.pixels(), screen.pixels() + screen.size(), before.begin());
        const ZelVideoStatistics counted = videoStatistics;
        trace << drawing.call() << changes(before, screen, 48);
        const uint32_t* was = &counted.zoomCalls;
        const uint32_t* now = &videoStatistics.zoomCalls;
        for (int k = 0; k < 8; ++k)
            if (now[k] != was[k])
                trace << " #" << k << "+" << now[k] - was[k];
        trace << "\n";
        drawing.undo();
    }
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
}

}  // namespace
