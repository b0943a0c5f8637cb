#include <gtest/gtest.h>

#include <chrono>

#include "deletion/ReceiptHash.h"

namespace quillo {
namespace {

using namespace std::chrono_literals;

const Uuid kZeroID = *Uuid::parse("00000000-0000-0000-0000-000000000000");
const TimePoint kEpoch{};

TEST(ReceiptHashTest, DigestsMatchKnownAnswers) {
    EXPECT_EQ(sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(receiptHashInput(kZeroID, "/tmp/a", 0, kEpoch),
              "00000000-0000-0000-0000-000000000000|/tmp/a|0|0");
    // sha256sum of the line above.
    EXPECT_EQ(receiptHash(kZeroID, "/tmp/a", 0, kEpoch),
              "22c92442efe0992fdd25125f0882168c70e49fbe30f32c7f122542774204a451");
}

TEST(ReceiptHashTest, TheInputHoldsTheUpperCaseIDThePathWithoutSlashAndSignedNumbers) {
    const Uuid id = *Uuid::parse("e621e1f8-c36c-495a-93fc-0c247a3e6e5f");
    EXPECT_EQ(receiptHashInput(id, "/Users/me/Library/Caches/ü x/", -12, kEpoch + 1'700'000'000s),
              "E621E1F8-C36C-495A-93FC-0C247A3E6E5F|/Users/me/Library/Caches/ü x|-12|1700000000");
}

TEST(ReceiptHashTest, SecondsAreTruncatedTowardZero) {
    EXPECT_EQ(receiptHashInput(kZeroID, "/a", 0, kEpoch + 1900ms),
              "00000000-0000-0000-0000-000000000000|/a|0|1");
    EXPECT_EQ(receiptHashInput(kZeroID, "/a", 0, kEpoch - 1900ms),
              "00000000-0000-0000-0000-000000000000|/a|0|-1");
}

TEST(ReceiptHashTest, TheSameFileDeletedInAnotherSecondHashesDifferently) {
    const Uuid id = Uuid::random();
    EXPECT_NE(receiptHash(id, "/tmp/a", 5, kEpoch + 10s),
              receiptHash(id, "/tmp/a", 5, kEpoch + 11s));
    EXPECT_EQ(receiptHash(id, "/tmp/a", 5, kEpoch + 10s),
              receiptHash(id, "/tmp/a", 5, kEpoch + 10s + 999ms));
}

}  // namespace
}  // namespace quillo
