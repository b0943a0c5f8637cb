#include "platform/Writeback.h"

namespace quillo::platform {

// The system offers no request to start writing a range early; the final sync does it all.
void startWriteback(int /*fd*/, off_t /*offset*/, off_t /*length*/) {}

}  // namespace quillo::platform
