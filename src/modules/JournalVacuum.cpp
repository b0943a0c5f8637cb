#include "modules/JournalVacuum.h"

#include <algorithm>
#include <utility>

#include "platform/SystemTool.h"

namespace quillo {

std::vector<std::string> journalVacuumArguments(int retentionDays) {
    const int days = std::clamp(retentionDays, 0, kMaxLogRetentionDays);
    if (days == 0) {
        return {"--vacuum-time=1s"};
    }
    return {"--vacuum-time=" + std::to_string(days) + "d"};
}

JournalVacuum journalctlVacuum(std::filesystem::path journalctl) {
    return [journalctl = std::move(journalctl)](int retentionDays,
                                                support::Completion<support::Unit> done) {
        platform::runToolIgnoringOutput(journalctl, journalVacuumArguments(retentionDays),
                                        std::move(done));
    };
}

}  // namespace quillo
