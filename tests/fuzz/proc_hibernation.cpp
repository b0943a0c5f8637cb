// The kernel's power files as the sleep image module reads them: "disk" and "resume". Each
// reads the whole input.
#include "FuzzInput.h"
#include "platform/Hibernation.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto bytes = quillo::fuzz::bytesOf(data, size);
    (void)quillo::platform::choosesHibernationMethod(bytes);
    (void)quillo::platform::namesResumeDevice(bytes);
    return 0;
}
