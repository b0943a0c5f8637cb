#pragma once

#include <string>
#include <vector>

#include "model/DeletionReceipt.h"
#include "model/DeletionReport.h"
#include "model/TimePoint.h"

namespace quillo {

/// The receipts a finished run exports: one per removed item of each report, in order, dated by
/// the report's end. Failed items contribute nothing.
std::vector<DeletionReceipt> exportReceipts(const std::vector<DeletionReport>& reports);

/// "hash,sizeInBytes,deletedAt,moduleID" and one line per receipt, each ending in a line feed;
/// times in UTC without fraction. No field can hold a comma, quote or line break.
std::string csvText(const std::vector<DeletionReceipt>& receipts);

/// "Quillo-Belege-yyyy-MM-dd-HHmmss.csv" in the local time zone.
std::string csvFileName(TimePoint now);

/// "Quillo-Loeschbeleg-yyyy-MM-dd-HHmmss.pdf" in the local time zone.
std::string pdfFileName(TimePoint now);

}  // namespace quillo
