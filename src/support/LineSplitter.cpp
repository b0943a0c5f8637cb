#include "support/LineSplitter.h"

namespace quillo::support {

void LineSplitter::feed(std::string_view bytes, const LineHandler& onLine) {
    while (!bytes.empty()) {
        const auto end = bytes.find('\n');
        const auto piece = bytes.substr(0, end);
        if (!oversize_ && pending_.size() + piece.size() > maxLineBytes_) {
            oversize_ = true;
            pending_.clear();
        }
        if (!oversize_) {
            pending_.append(piece);
        }
        if (end == std::string_view::npos) {
            return;
        }
        if (oversize_) {
            onLine(std::nullopt);
        } else {
            onLine(pending_);
        }
        pending_.clear();
        oversize_ = false;
        bytes.remove_prefix(end + 1);
    }
}

void LineSplitter::finish(const LineHandler& onLine) {
    if (oversize_) {
        onLine(std::nullopt);
    } else if (!pending_.empty()) {
        onLine(pending_);
    }
    pending_.clear();
    oversize_ = false;
}

}  // namespace quillo::support
