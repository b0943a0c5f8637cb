#pragma once

namespace quillo::platform {

/// The application's reverse-DNS identifier: its name in the system log and wherever the
/// platform asks who is speaking.
inline constexpr char kApplicationIdentifier[] = "app.quillo.Quillo";

}  // namespace quillo::platform
