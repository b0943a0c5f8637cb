#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/DeletionReceipt.h"
#include "model/TimePoint.h"

namespace quillo {

/// What the one-page receipt shows.
struct ReceiptPDFContent {
    std::vector<DeletionReceipt> receipts;
    TimePoint generatedAt;
};

/// A one-page A4 PDF of the receipts: title, creation time, count and total size, the hashes,
/// and a footer saying that no paths are included. What does not fit is cut off below the
/// page; there is never a second page. Nothing when no PDF could be produced.
std::optional<std::string> pdfData(const std::vector<DeletionReceipt>& receipts,
                                   TimePoint generatedAt);

}  // namespace quillo
