#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "support/Utf8.h"

namespace quillo::support {
namespace {

using namespace std::string_view_literals;

TEST(Utf8Test, AcceptsWellFormedText) {
    EXPECT_TRUE(isValidUtf8(""));
    EXPECT_TRUE(isValidUtf8("ok\n"));
    EXPECT_TRUE(isValidUtf8("Löschbeleg – 10 €"));
    EXPECT_TRUE(isValidUtf8("\xF0\x9F\x93\x81"));  // U+1F4C1
    EXPECT_TRUE(isValidUtf8("a\0b"sv));
}

TEST(Utf8Test, AcceptsTheBoundariesOfEachLength) {
    EXPECT_TRUE(isValidUtf8("\x7F"));
    EXPECT_TRUE(isValidUtf8("\xC2\x80"));          // U+0080
    EXPECT_TRUE(isValidUtf8("\xDF\xBF"));          // U+07FF
    EXPECT_TRUE(isValidUtf8("\xE0\xA0\x80"));      // U+0800
    EXPECT_TRUE(isValidUtf8("\xED\x9F\xBF"));      // U+D7FF
    EXPECT_TRUE(isValidUtf8("\xEE\x80\x80"));      // U+E000
    EXPECT_TRUE(isValidUtf8("\xEF\xBF\xBF"));      // U+FFFF
    EXPECT_TRUE(isValidUtf8("\xF0\x90\x80\x80"));  // U+10000
    EXPECT_TRUE(isValidUtf8("\xF4\x8F\xBF\xBF"));  // U+10FFFF
}

TEST(Utf8Test, RejectsOverlongForms) {
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));
    EXPECT_FALSE(isValidUtf8("\xC1\xBF"));
    EXPECT_FALSE(isValidUtf8("\xE0\x80\xAF"));
    EXPECT_FALSE(isValidUtf8("\xE0\x9F\xBF"));
    EXPECT_FALSE(isValidUtf8("\xF0\x80\x80\xAF"));
    EXPECT_FALSE(isValidUtf8("\xF0\x8F\xBF\xBF"));
}

TEST(Utf8Test, RejectsSurrogatesAndValuesAboveTheLastCodePoint) {
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));  // U+D800
    EXPECT_FALSE(isValidUtf8("\xED\xBF\xBF"));  // U+DFFF
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80"));
    EXPECT_FALSE(isValidUtf8("\xF5\x80\x80\x80"));
    EXPECT_FALSE(isValidUtf8("\xFF"));
    EXPECT_FALSE(isValidUtf8("\xFE"));
}

TEST(Utf8Test, RejectsBrokenSequences) {
    EXPECT_FALSE(isValidUtf8("\x80"));              // lone continuation byte
    EXPECT_FALSE(isValidUtf8("ok\xC3"));            // truncated at the end
    EXPECT_FALSE(isValidUtf8("\xE2\x82"));          // truncated three-byte form
    EXPECT_FALSE(isValidUtf8("\xC3(x"));            // lead without continuation
    EXPECT_FALSE(isValidUtf8("\xE2\x28\xA1"));      // bad second byte
    EXPECT_FALSE(isValidUtf8("\xE2\x82\x28"));      // bad third byte
    EXPECT_FALSE(isValidUtf8("\xF0\x9F\x93\x28"));  // bad fourth byte
    EXPECT_FALSE(isValidUtf8(std::string(1000, 'a') + "\xA9"));
}

}  // namespace
}  // namespace quillo::support
