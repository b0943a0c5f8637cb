#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "platform/SecureRandom.h"

namespace quillo::platform {
namespace {

TEST(SecureRandomTest, FillsWholeBuffersWithDifferentBytesEachTime) {
    std::vector<unsigned char> first(65'536, 0);
    std::vector<unsigned char> second(65'536, 0);
    ASSERT_TRUE(secureRandomFill(first));
    ASSERT_TRUE(secureRandomFill(second));
    EXPECT_NE(first, second);
    // The last bytes are filled too: 64 zero bytes in a row from the generator would be a fault.
    EXPECT_NE(std::vector<unsigned char>(first.end() - 64, first.end()),
              std::vector<unsigned char>(64, 0));
}

TEST(SecureRandomTest, EmptyBufferIsFilled) {
    EXPECT_TRUE(secureRandomFill({}));
}

}  // namespace
}  // namespace quillo::platform
