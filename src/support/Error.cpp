#include "support/Error.h"

namespace quillo::support {

Error Error::cancelled() {
    return make(CancellationError{});
}

bool Error::isCancellation() const {
    return as<CancellationError>() != nullptr;
}

std::string CancellationError::description() const {
    return "Der Vorgang wurde abgebrochen.";
}

}  // namespace quillo::support
