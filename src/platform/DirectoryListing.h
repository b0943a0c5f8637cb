#pragma once

#include <dirent.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace quillo::platform {

/// Reused storage for the raw listing calls of one walk.
class ListingBuffer final {
  public:
    ListingBuffer() : words_(std::make_unique<std::uint64_t[]>(kSize / sizeof(std::uint64_t))) {}

    [[nodiscard]] char* data() const { return reinterpret_cast<char*>(words_.get()); }
    [[nodiscard]] static constexpr std::size_t size() { return kSize; }

  private:
    // One listing call returns as many entries as fit; a large buffer keeps the calls few.
    static constexpr std::size_t kSize = std::size_t{256} * 1024;
    // Words, so that every record in it is aligned as the kernel lays it out.
    std::unique_ptr<std::uint64_t[]> words_;
};

/// Calls `visit(name, type)` with the NUL-terminated name and d_type of every entry of the
/// folder open as `fd` but "." and "..", from the descriptor's current position, until `visit`
/// returns false or the listing ends. Returns 0, or the errno of a failed listing call.
template <class Visit>
int forEachListedEntry(int fd, const ListingBuffer& buffer, Visit&& visit) {
    for (;;) {
        const ssize_t filled = ::getdents64(fd, buffer.data(), ListingBuffer::size());
        if (filled == 0) {
            return 0;
        }
        if (filled < 0) {
            return errno;
        }
        for (ssize_t offset = 0; offset < filled;) {
            const auto* record = reinterpret_cast<const dirent64*>(buffer.data() + offset);
            offset += record->d_reclen;
            const std::string_view name(record->d_name);
            if (name != "." && name != ".." && !visit(record->d_name, record->d_type)) {
                return 0;
            }
        }
    }
}

}  // namespace quillo::platform
