// The wide row kernels give the plain loops' bytes on every path this CPU runs, and
// choosing a path takes effect. Whole calls are compared by the random runs.

#include <stdlib.h>

#include <array>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "bitmap/wide_rows.h"
#include "test_support.h"

namespace {

using Bytes = std::vector<unsigned char>;

class WidePath : public testing::TestWithParam<CpuPath> {};

// Every width 0 to 200, 15 times, at random leads, over rows with no zeros, some, most or
// only zeros. Rows end where their heap block ends, for the address sanitizer to see any
// access past them; the whole block is compared.
TEST_P(WidePath, KernelsMatchThePlainLoopsAtEveryWidthAndAlignment)
{
    const CpuPath path = GetParam(), narrower = static_cast<CpuPath>(static_cast<int>(path) - 1);
    if (path > widestCpuPath())
        GTEST_SKIP() << "this CPU does not run the " << zeltest::cpuPathName(path) << " path";
    if (&rowKernels(path) == &rowKernels(narrower))
        GTEST_SKIP() << "the " << zeltest::cpuPathName(path) << " path uses the " << zeltest::cpuPathName(narrower) << " row kernels";
    std::mt19937 rng(7);
    const auto between = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const auto bytes = [&](size_t n) {
        const int zeros = std::array{0, 30, 50, 80, 100}[between(0, 4)];
        Bytes b(n);
        for (auto& v : b)
            v = between(0, 99) < zeros ? 0 : static_cast<unsigned char>(rng());
        return b;
    };
    for (int k = 0; k < 15 * 201 && !HasFailure(); ++k) {
        const int32_t n = k % 201;
        const int dLead = between(0, 70), sLead = between(0, 70);
        const Bytes d = bytes(dLead + n), s = bytes(sLead + n);
        const auto colour = static_cast<unsigned char>(rng());
        for (int kernel = 0; kernel < 3; ++kernel) {
            Bytes plain = d, wide = d;
            for (auto [r, row] : {std::pair{&rowKernels(CpuPath::Plain), &plain}, {&rowKernels(path), &wide}}) {
                unsigned char* o = row->data() + dLead;
                kernel == 0 ? r->transparent(o, s.data() + sLead, n)
                : kernel == 1 ? r->glyph(o, s.data() + sLead, n, colour) : r->xorSpan(o, n, colour);
            }
            EXPECT_EQ(plain, wide) << std::array{"transparent", "glyph", "xor"}[kernel] << ": width " << n
                                   << ", rows at +" << dLead << ", +" << sLead;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, WidePath, testing::Values(CpuPath::Sse2, CpuPath::Avx2, CpuPath::Avx512),
                         [](const testing::TestParamInfo<CpuPath>& info) { return zeltest::cpuPathName(info.param); });

// Paths have kernels of their own and selecting one switches; a path beyond this CPU
// is refused and leaves the choice alone.
TEST(CpuPaths, EachPathHasItsOwnKernelsAndSelectingOneTakesEffect)
{
    const CpuPath saved = cpuPath(), widest = widestCpuPath();
    EXPECT_GE(widest, CpuPath::Sse2);  // the x86-64 baseline
    for (CpuPath p : {CpuPath::Plain, CpuPath::Sse2, CpuPath::Avx2, CpuPath::Avx512})
        EXPECT_EQ(selectCpuPath(p) && cpuPath() == p, p <= widest) << zeltest::cpuPathName(p);
    EXPECT_NE(&rowKernels(CpuPath::Sse2), &rowKernels(CpuPath::Plain));
    EXPECT_TRUE(widest < CpuPath::Avx2 || &rowKernels(CpuPath::Avx2) != &rowKernels(CpuPath::Sse2));
    selectCpuPath(CpuPath::Plain);
    const auto beyond = static_cast<CpuPath>(static_cast<int>(widest) + 1);
    EXPECT_FALSE(selectCpuPath(beyond));
    EXPECT_EQ(cpuPath(), CpuPath::Plain);
    EXPECT_EQ(&rowKernels(beyond), &rowKernels(widest));
    selectCpuPath(saved);
}

// ZEL_CPU is read as the library loads: tried in a fresh process (the widest path is not Plain).
TEST(CpuPaths, TheEnvironmentChoosesThePathAtLoad)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    setenv("ZEL_CPU", "Plain", 1);  // read by no one but the process started next
    EXPECT_EXIT(std::exit(cpuPath() == CpuPath::Plain ? 0 : 1), testing::ExitedWithCode(0), "");
}

}  // namespace
