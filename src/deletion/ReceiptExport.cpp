#include "deletion/ReceiptExport.h"

#include "support/Formatting.h"

namespace quillo {

std::vector<DeletionReceipt> exportReceipts(const std::vector<DeletionReport>& reports) {
    std::vector<DeletionReceipt> receipts;
    for (const auto& report : reports) {
        for (const auto& record : report.succeeded) {
            receipts.push_back({record.id, record.receiptHash, record.sizeInBytes,
                                report.completedAt, report.moduleID});
        }
    }
    return receipts;
}

std::string csvText(const std::vector<DeletionReceipt>& receipts) {
    std::string text = "hash,sizeInBytes,deletedAt,moduleID\n";
    for (const auto& receipt : receipts) {
        text += receipt.hash;
        text += ',';
        text += std::to_string(receipt.sizeInBytes);
        text += ',';
        text += support::formatISO8601UTC(receipt.deletedAt);
        text += ',';
        text += rawValue(receipt.moduleID);
        text += '\n';
    }
    return text;
}

std::string csvFileName(TimePoint now) {
    return "Quillo-Belege-" + support::formatFileNameTimestamp(now) + ".csv";
}

std::string pdfFileName(TimePoint now) {
    return "Quillo-Loeschbeleg-" + support::formatFileNameTimestamp(now) + ".pdf";
}

}  // namespace quillo
