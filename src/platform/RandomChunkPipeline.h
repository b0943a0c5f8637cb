#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <variant>
#include <vector>

#include "platform/DataChunks.h"
#include "platform/SafeFileOperations.h"

namespace quillo::platform {

/// Fills the chunks of `DataChunks` with random bytes on a thread of its own, a few chunks ahead
/// of the caller who writes them, so that generating and writing overlap. Memory stays at
/// `depth` chunks. Chunks come in file order; after a failed fill, the chunks before it still
/// come, then the failure.
class RandomChunkPipeline final {
  public:
    struct FilledChunk {
        FileChunk chunk;
        std::span<const unsigned char> bytes;
    };
    enum class End { finished, fillFailed };

    /// Starts the filling thread; throws std::system_error when no thread can be started.
    RandomChunkPipeline(DataChunks chunks, std::size_t chunkSize, std::size_t depth,
                        RandomFill fill);
    /// Stops the filling thread, also before the last chunk was taken.
    ~RandomChunkPipeline();
    RandomChunkPipeline(const RandomChunkPipeline&) = delete;
    RandomChunkPipeline& operator=(const RandomChunkPipeline&) = delete;

    /// Hands back the chunk taken before and waits for the next one; after the last, or at a
    /// failed fill, says which end it is.
    std::variant<FilledChunk, End> next();

  private:
    struct Slot {
        std::unique_ptr<unsigned char[]> buffer;
        FileChunk chunk;
    };
    enum class State { filling, finished, fillFailed, stopping };

    template <class Ready>
    void waitUntil(Ready ready);
    void announce();
    void fillAll(DataChunks chunks);

    RandomFill fill_;
    std::vector<Slot> slots_;
    // Chunks filled by the thread, and handed back by the writer; each side writes one of them.
    std::atomic<std::size_t> filled_ = 0;
    std::atomic<std::size_t> handedBack_ = 0;
    std::atomic<State> state_ = State::filling;
    std::size_t taken_ = 0;
    std::mutex sleeping_;
    std::condition_variable changed_;
    std::thread filler_;
};

}  // namespace quillo::platform
