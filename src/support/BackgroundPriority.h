#pragma once

namespace quillo::support {

/// Lets the calling thread yield the processor to the window's thread: walks and deletions
/// keep many threads busy, and on few cores they would otherwise delay the next frame.
void lowerCurrentThreadPriority();

}  // namespace quillo::support
