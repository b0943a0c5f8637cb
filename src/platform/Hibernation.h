#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>

namespace quillo::platform {

/// The hibernation mode for the sleep image module: none when it cannot be read, 0 when the
/// system does not hibernate, anything else when it does.
using HibernateMode = std::optional<std::int32_t>;

/// Where the system keeps its hibernation image. None on Linux: the kernel writes its image
/// into swap, and a swap file or partition is never offered for deletion.
std::optional<std::filesystem::path> sleepImageLocation();

/// Whether the text of /sys/power/disk (such as "[platform] shutdown reboot") has a method in
/// brackets, and it is not "disabled".
bool choosesHibernationMethod(std::string_view disk);

/// Whether the text of /sys/power/resume names a device: anything but blanks and "0:0".
bool namesResumeDevice(std::string_view resume);

/// Linux's hibernation state as the kernel's power folder (/sys/power, readable without
/// privileges) reports it: none when "disk" cannot be read (a kernel without hibernation);
/// 0 when no method is chosen there or it reads "[disabled]", or when "resume" names no
/// device ("0:0") or cannot be read, since then no image can be resumed; else 1.
HibernateMode readHibernateMode(const std::filesystem::path& powerFolder);

/// `readHibernateMode` of /sys/power, answered at once on the caller's thread; a provider of
/// the module's `hibernateMode`.
void hibernateMode(const std::function<void(HibernateMode)>& answer);

}  // namespace quillo::platform
