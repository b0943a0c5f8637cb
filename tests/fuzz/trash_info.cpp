// The path encoding of ".trashinfo" files. Quillo only writes info files, so what is read is
// the percent-decoding of a "Path" value; the writer's helpers are held to their promises on
// the same bytes: decoding undoes encoding, and trash names fit the file system with room for
// ".trashinfo".
#include <cstdlib>
#include <string>

#include "FuzzInput.h"
#include "platform/TrashInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillo::platform;
    const auto bytes = quillo::fuzz::bytesOf(data, size);
    (void)percentDecodedPath(bytes);
    const auto encoded = percentEncodedPath(bytes);
    if (percentDecodedPath(encoded) != std::string(bytes)) {
        std::abort();
    }
    const unsigned attempt = size == 0 ? 1 : data[0] % 16 + 1;
    const auto name = trashName(bytes, attempt);
    if (name.size() + std::string_view(".trashinfo").size() > 255) {
        std::abort();
    }
    return 0;
}
