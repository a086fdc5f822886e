// The inline row fill and copy store exactly the bytes memset and memcpy
// would, at every length and alignment, and nothing around them.

#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "video/short_rows.h"

namespace {

TEST(ShortRows, SameBytesAsMemsetAndMemcpy)
{
    std::vector<unsigned char> source(320), ours(320), theirs(320);
    for (size_t k = 0; k < source.size(); ++k)
        source[k] = static_cast<unsigned char>(k * 13 + 5);
    for (size_t offset = 0; offset < 20; ++offset) {
        for (size_t n = 0; n <= 290; ++n) {
            std::fill(ours.begin(), ours.end(), static_cast<unsigned char>(n));
            theirs = ours;
            fillRow(ours.data() + offset, n, static_cast<unsigned char>(n + 1));
            std::memset(theirs.data() + offset, static_cast<int>(n + 1), n);
            ASSERT_EQ(ours, theirs) << "fill at " << offset << ", length " << n;

            copyRow(ours.data() + offset, source.data() + 19 - offset, n);
            std::memcpy(theirs.data() + offset, source.data() + 19 - offset, n);
            ASSERT_EQ(ours, theirs) << "copy at " << offset << ", length " << n;
        }
    }
}

}  // namespace
