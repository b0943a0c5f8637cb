#include "platform/PropertyListLimits.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

namespace quillo::platform {

namespace {

constexpr std::string_view kBinaryMagic = "bplist";
constexpr std::size_t kTrailerSize = 32;

// Big-endian unsigned integer of `width` (1 to 8) bytes at `offset`; the caller checked bounds.
std::uint64_t readBigEndian(std::string_view bytes, std::size_t offset, std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t index = 0; index < width; ++index) {
        value = (value << 8) | static_cast<unsigned char>(bytes[offset + index]);
    }
    return value;
}

bool isValidWidth(std::uint64_t width) {
    return width >= 1 && width <= 8;
}

// The object graph of a binary list as its trailer and offset table describe it.
class BinaryObjects final {
  public:
    // The references of one object: none for a leaf.
    struct References {
        std::size_t position = 0;
        std::uint64_t count = 0;
    };

    static std::optional<BinaryObjects> open(std::string_view bytes) {
        if (bytes.size() < kBinaryMagic.size() + 2 + kTrailerSize) {
            return std::nullopt;
        }
        const std::size_t trailer = bytes.size() - kTrailerSize;
        BinaryObjects objects(bytes);
        objects.offsetWidth_ = static_cast<unsigned char>(bytes[trailer + 6]);
        objects.referenceWidth_ = static_cast<unsigned char>(bytes[trailer + 7]);
        objects.count_ = readBigEndian(bytes, trailer + 8, 8);
        objects.root_ = readBigEndian(bytes, trailer + 16, 8);
        objects.offsetTable_ = readBigEndian(bytes, trailer + 24, 8);
        const bool consistent =
            isValidWidth(objects.offsetWidth_) && isValidWidth(objects.referenceWidth_) &&
            objects.count_ >= 1 && objects.count_ <= kMaxPropertyListNodes &&
            objects.root_ < objects.count_ && objects.offsetTable_ <= trailer &&
            objects.count_ <= (trailer - objects.offsetTable_) / objects.offsetWidth_;
        if (!consistent) {
            return std::nullopt;
        }
        return objects;
    }

    [[nodiscard]] std::uint64_t count() const { return count_; }
    [[nodiscard]] std::uint64_t root() const { return root_; }

    /// Where the references of `object` are, or nothing when the object lies outside the data.
    /// Every kind of collection counts, also those the parser may not know: refusing an exotic
    /// list is harmless, missing a nesting is not.
    [[nodiscard]] std::optional<References> references(std::uint64_t object) const {
        const std::size_t dataEnd = static_cast<std::size_t>(offsetTable_);
        const auto offset =
            readBigEndian(bytes_, offsetTable_ + object * offsetWidth_, offsetWidth_);
        if (offset < kBinaryMagic.size() + 2 || offset >= dataEnd) {
            return std::nullopt;
        }
        const auto marker = static_cast<unsigned char>(bytes_[offset]);
        const unsigned kind = marker >> 4;
        const bool isDictionary = kind == 0xD;
        if (kind < 0xA || kind > 0xD) {
            return References{};
        }
        std::size_t position = static_cast<std::size_t>(offset) + 1;
        std::uint64_t count = marker & 0x0F;
        if (count == 0x0F) {
            // The count follows as an integer object of 1, 2, 4 or 8 bytes.
            if (position >= dataEnd) {
                return std::nullopt;
            }
            const auto countMarker = static_cast<unsigned char>(bytes_[position]);
            const std::size_t width = std::size_t{1} << (countMarker & 0x0F);
            if ((countMarker >> 4) != 0x1 || width > 8 || width > dataEnd - position - 1) {
                return std::nullopt;
            }
            count = readBigEndian(bytes_, position + 1, width);
            position += 1 + width;
        }
        const std::uint64_t perEntry = isDictionary ? 2 : 1;
        if (count > (dataEnd - position) / referenceWidth_ / perEntry) {
            return std::nullopt;
        }
        return References{position, count * perEntry};
    }

    /// The object the reference at `position` names, or nothing when there is none.
    [[nodiscard]] std::optional<std::uint64_t> referenced(std::size_t position) const {
        const auto object = readBigEndian(bytes_, position, referenceWidth_);
        return object < count_ ? std::optional(object) : std::nullopt;
    }

    [[nodiscard]] std::size_t referenceWidth() const { return referenceWidth_; }

  private:
    explicit BinaryObjects(std::string_view bytes) : bytes_(bytes) {}

    std::string_view bytes_;
    std::size_t offsetWidth_ = 0;
    std::size_t referenceWidth_ = 0;
    std::uint64_t count_ = 0;
    std::uint64_t root_ = 0;
    std::uint64_t offsetTable_ = 0;
};

// Walks the graph depth first without recursion, remembering the expanded size of every object
// finished, so that shared objects cost one visit however often they are referenced.
bool isBinaryWithinLimits(std::string_view bytes) {
    const auto objects = BinaryObjects::open(bytes);
    if (!objects) {
        return false;
    }
    enum class State : unsigned char { unseen, open, done };
    std::vector<State> states(objects->count(), State::unseen);
    std::vector<std::uint32_t> expandedSizes(objects->count(), 0);
    struct Frame {
        std::uint64_t object = 0;
        BinaryObjects::References remaining;
        std::uint64_t size = 1;
    };
    std::vector<Frame> stack;
    const auto enter = [&](std::uint64_t object) {
        const auto references = objects->references(object);
        if (!references || stack.size() >= kMaxPropertyListDepth) {
            return false;
        }
        states[object] = State::open;
        stack.push_back({object, *references, 1});
        return true;
    };
    if (!enter(objects->root())) {
        return false;
    }
    for (;;) {
        Frame& frame = stack.back();
        if (frame.remaining.count == 0) {
            const Frame finished = frame;
            states[finished.object] = State::done;
            expandedSizes[finished.object] = static_cast<std::uint32_t>(finished.size);
            stack.pop_back();
            if (stack.empty()) {
                return true;
            }
            stack.back().size += finished.size;
            if (stack.back().size > kMaxPropertyListNodes) {
                return false;
            }
            continue;
        }
        const auto child = objects->referenced(frame.remaining.position);
        frame.remaining.position += objects->referenceWidth();
        --frame.remaining.count;
        if (!child || states[*child] == State::open) {
            return false;  // a dangling reference or a cycle
        }
        if (states[*child] == State::done) {
            frame.size += expandedSizes[*child];
            if (frame.size > kMaxPropertyListNodes) {
                return false;
            }
        } else if (!enter(*child)) {
            return false;
        }
    }
}

// `prefix` is lower case.
bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char expected, char actual) {
               return expected == (actual >= 'A' && actual <= 'Z' ? actual + ('a' - 'A') : actual);
           });
}

bool isXmlWithinLimits(std::string_view bytes) {
    std::size_t containerTags = 0;
    for (std::size_t position = bytes.find('<'); position != std::string_view::npos;
         position = bytes.find('<', position + 1)) {
        const auto tag = bytes.substr(position + 1);
        if (startsWithIgnoringCase(tag, "array") || startsWithIgnoringCase(tag, "dict")) {
            if (++containerTags > kMaxXmlContainerTags) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

// Both checks apply to a binary list, so that the outcome does not hang on which versions of the
// magic the parser takes as binary.
bool isWithinParserLimits(std::string_view bytes) {
    return isXmlWithinLimits(bytes) &&
           (bytes.substr(0, kBinaryMagic.size()) != kBinaryMagic || isBinaryWithinLimits(bytes));
}

}  // namespace quillo::platform
