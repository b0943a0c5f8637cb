#include <gtest/gtest.h>

#include <vector>

#include "platform/SecureRandom.h"

namespace quillo::platform {
namespace {

// Sizes on both sides of the switch from the generator to a key stream.
TEST(SecureRandomTest, FillsWholeBuffersWithDifferentBytesEachTime) {
    for (const std::size_t size : {64U, 4095U, 4096U, 65'536U, 1'048'579U}) {
        SCOPED_TRACE(size);
        std::vector<unsigned char> first(size, 0);
        std::vector<unsigned char> second(size, 0);
        ASSERT_TRUE(secureRandomFill(first));
        ASSERT_TRUE(secureRandomFill(second));
        EXPECT_NE(first, second);
        // The last bytes are filled too: 64 zero bytes in a row would be a fault.
        EXPECT_NE(std::vector<unsigned char>(first.end() - 64, first.end()),
                  std::vector<unsigned char>(64, 0));
    }
}

TEST(SecureRandomTest, EmptyBufferIsFilled) {
    EXPECT_TRUE(secureRandomFill({}));
}

}  // namespace
}  // namespace quillo::platform
