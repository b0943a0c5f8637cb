#include "AppListReport.h"

#include <algorithm>
#include <iostream>

#include "audit/AppListReport.h"
#include "audit/PrivacyAuditService.h"
#include "platform/PackagedApplications.h"
#include "platform/StandardDirectories.h"
#include "support/ManualExecutor.h"

namespace quillo {

namespace {

constexpr std::string_view kUsage =
    "Aufruf: quillo-scan --apps [--json] | --audit [--json]\n"
    "  --apps   die installierten Flatpak- und Snap-Apps\n"
    "  --audit  welche Apps auf geschützte Bereiche zugreifen dürfen\n"
    "  --json   als JSON\n";

AuditFindings auditNow() {
    auto context = std::make_shared<support::ManualExecutor>();
    auto service = PrivacyAuditService::create(
        defaultAppRoots(platform::homeFolder().string()), context,
        PrivacyAuditService::readInfoPlistFile,
        [sources = defaultPackagedAuditSources()](const support::CancellationToken& token) {
            return auditPackagedApplications(sources, token);
        });
    AuditFindings findings;
    service->auditWithFindings({},
                               [&findings](AuditFindings found) { findings = std::move(found); });
    context->runAll();
    return findings;
}

}  // namespace

std::optional<int> runAppListReport(std::span<const std::string_view> arguments) {
    const auto has = [&](std::string_view option) {
        return std::ranges::find(arguments, option) != arguments.end();
    };
    const bool apps = has("--apps");
    const bool audit = has("--audit");
    if (!apps && !audit) {
        return std::nullopt;
    }
    const bool json = has("--json");
    const auto known = std::ranges::all_of(arguments, [](std::string_view argument) {
        return argument == "--apps" || argument == "--audit" || argument == "--json";
    });
    if (!known || (apps && audit)) {
        std::cerr << kUsage;
        return 2;
    }
    if (apps) {
        const auto list = platform::installedPackagedApplications(platform::defaultPackageSources(),
                                                                  support::CancellationToken{});
        std::cout << (json ? applicationListJSON(list) : applicationListText(list));
    } else {
        const auto findings = auditNow();
        std::cout << (json ? auditReportJSON(findings) : auditReportText(findings));
    }
    return 0;
}

}  // namespace quillo
