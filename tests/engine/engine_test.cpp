// The temporary heap, block labels, the live-block report, the debugger
// hook, and the integer trigonometry against the real functions.
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "engine/zelmath/zelmath.h"
#include "engine/zelmem/zelmem.h"

namespace {

int indexOf(const std::vector<ZelMemBlockInfo>& blocks, const std::string& label)
{
    for (size_t i = 0; i < blocks.size(); ++i)
        if (blocks[i].label == label)
            return int(i);
    return -1;
}

TEST(ZelMemTmp, EdgeSizesNullAndUnknownBlocks)
{
    size_t before = ZelMem::LiveBlocks().size();
    void* a = ZelMEMTmp::Malloc(0);
    void* b = ZelMEMTmp::Malloc(0);
    ASSERT_TRUE(a && b);
    EXPECT_NE(a, b);
    void* c = ZelMEMTmp::Realloc(nullptr, 10);
    std::memcpy(c, "abcdefghij", 10);
    c = ZelMEMTmp::Realloc(c, 70000);
    EXPECT_EQ(std::memcmp(c, "abcdefghij", 10), 0);
    c = ZelMEMTmp::Realloc(c, 0);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(ZelMem::GetPtrSize(c), 0u);

    int local = 0;
    ZelMEMTmp::Free(nullptr);
    ZelMEMTmp::Free(&local);
    EXPECT_EQ(ZelMEMTmp::Realloc(&local, 64), nullptr);
    EXPECT_EQ(ZelMem::GetPtrSize(&local), 0u);
    ZelMem::SetPtrData(&local, "not a block");
    EXPECT_EQ(ZelMem::GetPtrData(&local), nullptr);
    EXPECT_EQ(ZelMem::LiveBlocks().size(), before + 3);

    ZelMEMTmp::Free(a);
    ZelMEMTmp::Free(a);  // unknown by now: ignored
    ZelMEMTmp::FreeVolatile(b);
    EXPECT_EQ(b, nullptr);
    ZelMEMTmp::Free(c);
    EXPECT_EQ(ZelMem::LiveBlocks().size(), before);
}

TEST(ZelMemBlocks, LabelsAreCopies)
{
    void* p = ZelMEMTmp::Malloc(4);
    EXPECT_EQ(ZelMem::GetPtrData(p), nullptr);
    char text[] = "first";
    ZelMem::SetPtrData(p, text);
    std::strcpy(text, "xxxxx");
    EXPECT_STREQ(ZelMem::GetPtrData(p), "first");
    ZelMem::SetPtrData(p, ZelMem::GetPtrData(p) + 1);  // from its own label
    EXPECT_STREQ(ZelMem::GetPtrData(p), "irst");
    ZelMem::SetPtrData(p, nullptr);
    EXPECT_EQ(ZelMem::GetPtrData(p), nullptr);
    ZelMEMTmp::Free(p);
}

TEST(ZelMemBlocks, LiveBlocksOldestFirstWithHandles)
{
    void* tmp = ZelMEMTmp::Malloc(28);
    ZelMem::SetPtrData(tmp, "zt-first");
    unsigned short h;
    ZelMemHandles::MallocPtr(h, 12);
    ZelMem::SetPtrData(ZelMemHandles::GetPtr(h), "zt-second");
    void* gone = ZelMEMTmp::Malloc(3);
    ZelMem::SetPtrData(gone, "zt-gone");
    tmp = ZelMEMTmp::Realloc(tmp, 28000);  // resizing keeps the age
    tmp = ZelMEMTmp::Realloc(tmp, 28);
    std::vector<ZelMemBlockInfo> blocks = ZelMem::LiveBlocks();
    int i1 = indexOf(blocks, "zt-first"), i2 = indexOf(blocks, "zt-second");
    ASSERT_GE(i1, 0);
    ASSERT_GT(i2, i1);
    EXPECT_GT(indexOf(blocks, "zt-gone"), i2);
    EXPECT_EQ(blocks[i1].handle, ZelMemHandles::NullHandle);
    EXPECT_EQ(blocks[i2].handle, h);

    ZelMEMTmp::Free(gone);
    unsigned short added = ZelMemHandles::AddPtr(tmp);
    std::ostringstream report;
    ZelMem::ReportLiveBlocks(report);
    std::string text = report.str();
    EXPECT_NE(text.find("live block: \"zt-first\" 28 bytes (handle " + std::to_string(added) + ")\n"),
              std::string::npos);
    EXPECT_NE(text.find("live blocks: " + std::to_string(blocks.size() - 1) + ", "), std::string::npos);
    EXPECT_EQ(text.find("zt-gone"), std::string::npos);

    ZelMemHandles::RemoveHandle(added);
    ZelMEMTmp::Free(tmp);
    ZelMemHandles::FreePtr(h);
    ZelMemHandles::RemoveHandle(h);
    EXPECT_EQ(indexOf(ZelMem::LiveBlocks(), "zt-second"), -1);
}

TEST(ZelMemDeathTest, ExitReportAndTrapWhenAsked)
{
    EXPECT_EXIT(
        {
            setenv("ZEL_MEM_REPORT", "1", 1);
            ZelMem::SetPtrData(ZelMEMTmp::Malloc(5), "zt-leak");
            std::exit(0);
        },
        testing::ExitedWithCode(0), "live block: \"zt-leak\" 5 bytes\n");
    EXPECT_EXIT(
        {
            setenv("ZEL_MEM_TRAP", "1", 1);
            ZelMem::CallDebugger();
            std::exit(0);
        },
        testing::KilledBySignal(SIGTRAP), "");
}

// Within half a unit of the real sine and cosine, odd and even, a quarter
// turn apart (exact quarter turns are in engine.scene).
TEST(Trig, MatchesTheRealFunctionsAndTheirSymmetries)
{
    const double turn = 2 * std::acos(-1.0);
    for (int a = 0; a < ZelAngleFullTurn; a += 7) {
        const double r = a * turn / ZelAngleFullTurn;
        ASSERT_LE(std::abs(iSin(a) - std::sin(r) * (1 << 20)), 0.5 + 1e-6) << a;
        ASSERT_LE(std::abs(iCos(a) - std::cos(r) * (1 << 20)), 0.5 + 1e-6) << a;
    }
    for (int a : {1, 77, 5461, 12345, 16383, 30000, 65535, -1, -40000, 2147483647, -2000000000}) {
        EXPECT_EQ(iSin(a), -iSin(-a)) << a;
        EXPECT_EQ(iCos(a), iCos(-a)) << a;
        EXPECT_EQ(iSin(a), iCos(a - ZelAngleQuarterTurn)) << a;
    }
}

}  // namespace
