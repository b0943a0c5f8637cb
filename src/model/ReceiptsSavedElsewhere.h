#pragma once

#include <filesystem>

namespace quillo {

/// Receipts that could not be written to the receipts file and went to a file of their own.
struct ReceiptsSavedElsewhere {
    /// Where they are now.
    std::filesystem::path file;
    /// The receipts file that could not be written.
    std::filesystem::path receiptsFile;

    friend bool operator==(const ReceiptsSavedElsewhere&, const ReceiptsSavedElsewhere&) = default;
};

}  // namespace quillo
