#include <gtest/gtest.h>

#include "helper/HelperProtocol.h"
#include "support/LineSplitter.h"

namespace quillo::testing {
namespace {

TEST(HelperProtocolTest, RequestsAndMessagesReadBackAsWritten) {
    const Uuid id = Uuid::random();
    const std::vector<HelperRequest> requests{
        HelperScanRequest{.modules = {CleaningModuleID::tempFiles, CleaningModuleID::systemLogs},
                          .depth = ScanDepth::deep,
                          .logRetentionDays = 30},
        HelperDeleteRequest{.mode = DeletionMode::secureOverwriteThreePass,
                            .wishes = {HelperWish{id, CleaningModuleID::fontCache, "/var/ä b"},
                                       HelperWish{id, std::nullopt, "/x"}}},
    };
    for (const auto& request : requests) {
        const auto line = encodeRequest(request);
        EXPECT_EQ(line.find('\n'), line.size() - 1);
        const auto decoded = decodeRequest(std::string_view(line).substr(0, line.size() - 1));
        ASSERT_TRUE(decoded.ok()) << line;
        EXPECT_EQ(decoded.value(), request);
    }
    const auto modified = TimePoint(std::chrono::microseconds(1'700'000'000'123'456));
    const std::vector<HelperMessage> messages{
        CleanableItem{.id = id,
                      .url = "/var/tmp/a\nb",
                      .displayName = "a\nb",
                      .sizeInBytes = 4096,
                      .lastModified = modified,
                      .moduleID = CleaningModuleID::tempFiles,
                      .warnings = {CleanableItemWarning::largeFile},
                      .isSafeToDeleteByDefault = true},
        HelperItemStarted{id},
        DeletedFileRecord{id, 12, std::string(64, 'a')},
        FailedFileRecord{id, "Grund"},
        DeletionReceipt{Uuid::random(), std::string(64, 'b'), 12, modified,
                        CleaningModuleID::systemCaches},
        HelperDone{},
        HelperRefusal{"Nein"},
    };
    for (const auto& message : messages) {
        const auto line = encodeMessage(message);
        EXPECT_EQ(line.find('\n'), line.size() - 1) << line;
        const auto decoded = decodeMessage(std::string_view(line).substr(0, line.size() - 1));
        ASSERT_TRUE(decoded.ok()) << line;
        EXPECT_EQ(decoded.value(), message) << line;
    }
    EXPECT_FALSE(decodeMessage(R"({"message":"itemFailed","id":"nope","reason":"x"})").ok());
    EXPECT_FALSE(decodeMessage(std::string(kMaxMessageLineBytes + 1, ' ')).ok());
}

TEST(HelperProtocolTest, LinesAreCutAcrossPiecesAndOverlongOnesSkipped) {
    support::LineSplitter splitter(4);
    std::vector<std::optional<std::string>> lines;
    const auto take = [&lines](std::optional<std::string_view> line) {
        lines.emplace_back(line ? std::optional<std::string>(*line) : std::nullopt);
    };
    for (const std::string_view piece : {"ab", "c\ntoo-l", "ong\n\nxy"}) {
        splitter.feed(piece, take);
    }
    splitter.finish(take);
    const std::vector<std::optional<std::string>> expected{"abc", std::nullopt, "", "xy"};
    EXPECT_EQ(lines, expected);
}

}  // namespace
}  // namespace quillo::testing
