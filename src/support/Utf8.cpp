#include "support/Utf8.h"

#include <cstddef>

namespace quillo::support {

namespace {

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0U) == 0x80U;
}

// The number of bytes of the sequence that begins with `lead` and the range its second byte
// must fall in; the narrowed ranges exclude overlong forms, surrogates and values past U+10FFFF.
struct SequenceShape {
    std::size_t length = 0;
    unsigned char secondMin = 0x80;
    unsigned char secondMax = 0xBF;
};

SequenceShape shapeOf(unsigned char lead) {
    if (lead < 0x80) {
        return {1};
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return {2};
    }
    if (lead == 0xE0) {
        return {3, 0xA0, 0xBF};
    }
    if (lead == 0xED) {
        return {3, 0x80, 0x9F};
    }
    if (lead >= 0xE1 && lead <= 0xEF) {
        return {3};
    }
    if (lead == 0xF0) {
        return {4, 0x90, 0xBF};
    }
    if (lead >= 0xF1 && lead <= 0xF3) {
        return {4};
    }
    if (lead == 0xF4) {
        return {4, 0x80, 0x8F};
    }
    return {0};
}

}  // namespace

bool isValidUtf8(std::string_view bytes) {
    std::size_t index = 0;
    while (index < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[index]);
        const SequenceShape shape = shapeOf(lead);
        if (shape.length == 0 || bytes.size() - index < shape.length) {
            return false;
        }
        if (shape.length > 1) {
            const auto second = static_cast<unsigned char>(bytes[index + 1]);
            if (second < shape.secondMin || second > shape.secondMax) {
                return false;
            }
            for (std::size_t offset = 2; offset < shape.length; ++offset) {
                if (!isContinuation(static_cast<unsigned char>(bytes[index + offset]))) {
                    return false;
                }
            }
        }
        index += shape.length;
    }
    return true;
}

}  // namespace quillo::support
