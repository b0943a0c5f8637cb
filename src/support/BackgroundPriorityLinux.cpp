#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>

#include "support/BackgroundPriority.h"

namespace quillo::support {

namespace {

// Ten steps nicer than the process weighs about a tenth as much: the window gets the processor
// when it needs it, and the walkers still have it all while the window is idle.
constexpr int kNicerBy = 10;
constexpr int kNicest = 19;

}  // namespace

void lowerCurrentThreadPriority() {
    // On Linux a thread's own identifier sets the niceness of that thread alone; the thread
    // starts with its creator's. A failure leaves the thread as it was, which costs smoothness
    // and nothing else.
    const auto thread = static_cast<id_t>(::gettid());
    const int current = ::getpriority(PRIO_PROCESS, thread);
    static_cast<void>(::setpriority(PRIO_PROCESS, thread, std::min(current + kNicerBy, kNicest)));
}

}  // namespace quillo::support
