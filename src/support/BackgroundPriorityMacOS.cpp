#include <pthread.h>

#include "support/BackgroundPriority.h"

namespace quillo::support {

void lowerCurrentThreadPriority() {
    // A failure leaves the thread as it was, which costs smoothness and nothing else.
    static_cast<void>(pthread_set_qos_class_self_np(QOS_CLASS_UTILITY, 0));
}

}  // namespace quillo::support
