#include "platform/RandomChunkPipeline.h"

#include <chrono>
#include <utility>

namespace quillo::platform {

namespace {

// A thread put to sleep can take longer to run again than a chunk takes to write, notably on a
// virtual machine, so each side watches the other for this long before it sleeps.
constexpr auto kWatchBeforeSleeping = std::chrono::microseconds(200);

}  // namespace

RandomChunkPipeline::RandomChunkPipeline(DataChunks chunks, std::size_t chunkSize,
                                         std::size_t depth, RandomFill fill)
    : fill_(std::move(fill)), slots_(depth) {
    for (Slot& slot : slots_) {
        slot.buffer = std::make_unique_for_overwrite<unsigned char[]>(chunkSize);
    }
    filler_ = std::thread([this, chunks] { fillAll(chunks); });
}

RandomChunkPipeline::~RandomChunkPipeline() {
    state_.store(State::stopping);
    announce();
    filler_.join();
}

template <class Ready>
void RandomChunkPipeline::waitUntil(Ready ready) {
    const auto sleepFrom = std::chrono::steady_clock::now() + kWatchBeforeSleeping;
    while (!ready()) {
        if (std::chrono::steady_clock::now() > sleepFrom) {
            std::unique_lock lock(sleeping_);
            changed_.wait(lock, ready);
            return;
        }
    }
}

// Taking the lock orders the change before a sleeper's last look, so no wake-up is lost.
void RandomChunkPipeline::announce() {
    { const std::scoped_lock lock(sleeping_); }
    changed_.notify_all();
}

void RandomChunkPipeline::fillAll(DataChunks chunks) {
    for (std::size_t index = 0;; ++index) {
        waitUntil([&] {
            return state_.load() == State::stopping || index - handedBack_.load() < slots_.size();
        });
        if (state_.load() == State::stopping) {
            return;
        }
        Slot& slot = slots_[index % slots_.size()];
        const std::optional<FileChunk> chunk = chunks.next();
        if (!chunk || !fill_(std::span(slot.buffer.get(), chunk->length))) {
            State expected = State::filling;
            state_.compare_exchange_strong(expected, chunk ? State::fillFailed : State::finished);
            announce();
            return;
        }
        slot.chunk = *chunk;
        filled_.store(index + 1);
        announce();
    }
}

std::variant<RandomChunkPipeline::FilledChunk, RandomChunkPipeline::End>
RandomChunkPipeline::next() {
    if (taken_ > handedBack_.load()) {
        handedBack_.store(taken_);
        announce();
    }
    waitUntil([this] { return filled_.load() > taken_ || state_.load() != State::filling; });
    if (filled_.load() == taken_) {
        return state_.load() == State::fillFailed ? End::fillFailed : End::finished;
    }
    const Slot& slot = slots_[taken_ % slots_.size()];
    ++taken_;
    return FilledChunk{slot.chunk,
                       std::span<const unsigned char>(slot.buffer.get(), slot.chunk.length)};
}

}  // namespace quillo::platform
