// What the running-applications reader takes from a process's /proc folder: the command name
// from "comm", FLATPAK_ID from "environ" and the application's name from a sandbox's
// ".flatpak-info". Each reads the whole input.
#include "FuzzInput.h"
#include "platform/RunningApplications.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillo::platform;
    const auto bytes = quillo::fuzz::bytesOf(data, size);
    (void)commandNameInComm(bytes);
    (void)flatpakIdInEnvironment(bytes);
    (void)flatpakIdInInfo(bytes);
    return 0;
}
