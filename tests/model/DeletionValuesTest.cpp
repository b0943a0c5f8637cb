#include <gtest/gtest.h>

#include <chrono>
#include <nlohmann/json.hpp>
#include <string>

#include "model/DeletionError.h"
#include "model/DeletionMode.h"
#include "model/DeletionReceipt.h"
#include "model/DeletionReport.h"
#include "model/ReferenceDate.h"

namespace quillo {
namespace {

using std::chrono::microseconds;
using std::chrono::seconds;

DeletionReceipt sampleReceipt() {
    return DeletionReceipt{Uuid::random(), std::string(64, 'a'), 123'456,
                           TimePoint(seconds(1'741'944'413) + microseconds(250'001)),
                           CleaningModuleID::diagnosticReports};
}

TEST(DeletionModeTest, RawValuesAndLabels) {
    EXPECT_EQ(fromRawValue<DeletionMode>("secureOverwriteThreePass"),
              DeletionMode::secureOverwriteThreePass);
    EXPECT_FALSE(fromRawValue<DeletionMode>("SecureOverwriteThreePass"));
    EXPECT_FALSE(fromRawValue<DeletionMode>("Standard"));
    ASSERT_EQ(allDeletionModes.size(), 3U);
    EXPECT_EQ(allDeletionModes.front(), DeletionMode::standard);
    EXPECT_EQ(label(DeletionMode::secureOverwrite).key, "settings.method.bsi");
    EXPECT_EQ(label(DeletionMode::secureOverwriteThreePass).defaultValue,
              "Sicher überschreiben (3 Durchläufe, DoD)");
}

TEST(DeletionErrorTest, Descriptions) {
    EXPECT_EQ(DeletionError::overwriteFailed("Permission denied").description(),
              "Überschreiben fehlgeschlagen: Permission denied");
    EXPECT_EQ(DeletionError::overwriteFailed("").description(), "Überschreiben fehlgeschlagen: ");
    EXPECT_EQ(DeletionError::overwriteFailed("50%@ full").description(),
              "Überschreiben fehlgeschlagen: 50%@ full");
    EXPECT_EQ(DeletionError::verificationFailed().description(),
              "Datei existiert nach dem Löschvorgang weiterhin.");
    const auto error = DeletionError::randomBytesFailed();
    ASSERT_NE(error.as<DeletionError>(), nullptr);
    EXPECT_EQ(error.as<DeletionError>()->kind(), DeletionError::Kind::randomBytesFailed);
    EXPECT_FALSE(error.isCancellation());
}

TEST(DeletionReportTest, EmptyReportIsValidAndEqualityIsOrdered) {
    const TimePoint start(seconds(100));
    const DeletionReport empty{CleaningModuleID::tempFiles, {}, {}, start, start};
    EXPECT_EQ(empty, empty);
    EXPECT_TRUE(empty.succeeded.empty() && empty.failed.empty());

    const DeletedFileRecord first{Uuid::random(), 1, "h1"};
    const DeletedFileRecord second{Uuid::random(), 2, "h2"};
    DeletionReport report = empty;
    report.succeeded = {first, second};
    DeletionReport reordered = empty;
    reordered.succeeded = {second, first};
    EXPECT_NE(report, reordered);
    EXPECT_NE(std::hash<DeletionReport>{}(report), std::hash<DeletionReport>{}(reordered));
    EXPECT_NE((FailedFileRecord{first.id, "a"}), (FailedFileRecord{first.id, "b"}));
}

TEST(ReferenceDateTest, SecondsSince2001) {
    EXPECT_DOUBLE_EQ(secondsSinceReferenceDate(TimePoint(seconds(978'307'200))), 0.0);
    EXPECT_DOUBLE_EQ(
        secondsSinceReferenceDate(TimePoint(seconds(978'307'201) + microseconds(500'000))), 1.5);
    EXPECT_DOUBLE_EQ(secondsSinceReferenceDate(TimePoint(seconds(978'307'199))), -1.0);
    const TimePoint precise(seconds(1'741'944'413) + microseconds(999'999));
    EXPECT_EQ(fromSecondsSinceReferenceDate(secondsSinceReferenceDate(precise)), precise);
}

TEST(DeletionReceiptTest, EncodesKeysInOrder) {
    const auto receipt = sampleReceipt();
    const auto record = encodeReceipt(receipt);
    std::vector<std::string> keys;
    for (const auto& [key, value] : record.items()) {
        keys.push_back(key);
    }
    EXPECT_EQ(keys,
              (std::vector<std::string>{"id", "hash", "sizeInBytes", "deletedAt", "moduleID"}));
    EXPECT_EQ(record["id"], receipt.id.uppercaseString());
    EXPECT_EQ(record["moduleID"], "diagnosticReports");
    EXPECT_DOUBLE_EQ(record["deletedAt"].get<double>(), 1'741'944'413.250001 - 978'307'200);
}

TEST(DeletionReceiptTest, RoundTripsThroughText) {
    const auto receipt = sampleReceipt();
    const auto decoded = decodeReceipt(nlohmann::json::parse(encodeReceipt(receipt).dump()));
    ASSERT_TRUE(decoded.ok()) << decoded.error().description();
    EXPECT_EQ(decoded.value(), receipt);
}

TEST(DeletionReceiptTest, RejectsMissingOrWrongFields) {
    const auto valid = nlohmann::json::parse(encodeReceipt(sampleReceipt()).dump());
    for (const char* key : {"id", "hash", "sizeInBytes", "deletedAt", "moduleID"}) {
        auto broken = valid;
        broken.erase(key);
        const auto decoded = decodeReceipt(broken);
        ASSERT_FALSE(decoded.ok()) << key;
        EXPECT_EQ(decoded.error().as<ReceiptDecodingError>()->key(), key);
    }
    auto wrongModule = valid;
    wrongModule["moduleID"] = "SystemCaches";
    EXPECT_FALSE(decodeReceipt(wrongModule).ok());
    auto wrongSize = valid;
    wrongSize["sizeInBytes"] = "12";
    EXPECT_FALSE(decodeReceipt(wrongSize).ok());
    auto fractionalSize = valid;
    fractionalSize["sizeInBytes"] = 1.5;
    EXPECT_FALSE(decodeReceipt(fractionalSize).ok());
    EXPECT_FALSE(decodeReceipt(nlohmann::json::array()).ok());
}

}  // namespace
}  // namespace quillo
