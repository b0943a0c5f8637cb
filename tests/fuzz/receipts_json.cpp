// receipts.json as the receipt store decodes it; every receipt it accepts is encoded again as
// the store would write it.
#include <nlohmann/json.hpp>

#include "FuzzInput.h"
#include "deletion/ReceiptStore.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto receipts = quillo::decodeReceipts(quillo::fuzz::bytesOf(data, size));
    if (!receipts) {
        return 0;
    }
    auto document = nlohmann::ordered_json::array();
    for (const auto& receipt : *receipts) {
        document.push_back(quillo::encodeReceipt(receipt));
    }
    (void)document.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
    return 0;
}
