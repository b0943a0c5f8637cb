#include <gtest/gtest.h>

#include <chrono>

#include "deletion/ReceiptExport.h"
#include "support/ScopedTimeZone.h"

namespace quillo {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

// 2025-03-14T09:26:53Z
const TimePoint kSample(seconds(1'741'944'413));

TEST(ReceiptExportTest, CsvOfNoReceiptsIsTheHeaderLine) {
    EXPECT_EQ(csvText({}), "hash,sizeInBytes,deletedAt,moduleID\n");
}

TEST(ReceiptExportTest, CsvLineDropsTheFractionAndUsesRawModuleValues) {
    const std::string hash(64, 'c');
    const DeletionReceipt receipt{Uuid::random(), hash, 4096, kSample + milliseconds(900),
                                  CleaningModuleID::fontCache};
    EXPECT_EQ(csvText({receipt, receipt}), "hash,sizeInBytes,deletedAt,moduleID\n" + hash +
                                               ",4096,2025-03-14T09:26:53Z,fontCache\n" + hash +
                                               ",4096,2025-03-14T09:26:53Z,fontCache\n");
}

TEST(ReceiptExportTest, FileNamesUseTheLocalTimeInAFixedPattern) {
    const testing::ScopedTimeZone zone("UTC");
    EXPECT_EQ(csvFileName(kSample), "Quillo-Belege-2025-03-14-092653.csv");
    EXPECT_EQ(pdfFileName(kSample), "Quillo-Loeschbeleg-2025-03-14-092653.pdf");
}

TEST(ReceiptExportTest, ExportListComesFromTheSucceededRecordsOfEachReport) {
    const DeletedFileRecord snapshot{Uuid::random(), 0, "snapshot-2025-03-14-092653"};
    const DeletedFileRecord cache{Uuid::random(), 10, std::string(64, 'a')};
    const std::vector<DeletionReport> reports{
        {CleaningModuleID::localSnapshots,
         {snapshot},
         {{Uuid::random(), "x"}},
         kSample,
         kSample + seconds(2)},
        {CleaningModuleID::systemCaches, {cache}, {}, kSample, kSample + seconds(5)},
        {CleaningModuleID::tempFiles, {}, {{Uuid::random(), "y"}}, kSample, kSample},
    };
    const auto receipts = exportReceipts(reports);
    ASSERT_EQ(receipts.size(), 2U);
    EXPECT_EQ(receipts[0],
              (DeletionReceipt{snapshot.id, snapshot.receiptHash, 0, kSample + seconds(2),
                               CleaningModuleID::localSnapshots}));
    EXPECT_EQ(receipts[1].hash, cache.receiptHash);
    EXPECT_EQ(receipts[1].deletedAt, kSample + seconds(5));
    EXPECT_NE(csvText(receipts).find("snapshot-2025-03-14-092653,0,"), std::string::npos);
    EXPECT_EQ(csvText(exportReceipts({reports[2]})), "hash,sizeInBytes,deletedAt,moduleID\n");
}

}  // namespace
}  // namespace quillo
