#include "audit/AppListReport.h"

#include <nlohmann/json.hpp>

#include "model/RawValue.h"
#include "support/Formatting.h"
#include "text/Text.h"

namespace quillo {

namespace {

using nlohmann::ordered_json;

std::string dumped(const ordered_json& document) {
    return document.dump(2, ' ', false, ordered_json::error_handler_t::replace) + "\n";
}

std::string installationText(const platform::PackagedApplication& app) {
    return app.kind == platform::PackageKind::snap ? "Snap" : "Flatpak, " + app.installationLabel;
}

}  // namespace

std::string applicationListText(const std::vector<platform::PackagedApplication>& apps) {
    if (apps.empty()) {
        return text::text("cli.apps.empty") + "\n";
    }
    std::string report;
    for (const auto& app : apps) {
        report += app.name + "  " + app.id + "  (" + installationText(app) + ")  " +
                  support::formatByteCount(app.sizeInBytes) + "\n";
    }
    return report;
}

std::string applicationListJSON(const std::vector<platform::PackagedApplication>& apps) {
    auto list = ordered_json::array();
    for (const auto& app : apps) {
        list.push_back({{"id", app.id},
                        {"name", app.name},
                        {"kind", app.kind == platform::PackageKind::snap ? "snap" : "flatpak"},
                        {"installation", app.installation},
                        {"sizeInBytes", app.sizeInBytes}});
    }
    return dumped({{"applications", std::move(list)}});
}

std::string auditReportText(const AuditFindings& findings) {
    if (findings.apps.empty()) {
        return text::text(findings.examined == 0 ? "privacy.audit.nothingExamined.body"
                                                 : "privacy.audit.empty.body") +
               "\n";
    }
    std::string report;
    for (const auto& app : findings.apps) {
        report += app.displayName + "  " + app.bundleID +
                  (app.installation.empty() ? "" : "  (" + app.installation + ")") + "\n";
        for (const auto& declaration : app.declaredPermissions) {
            const auto rationale = declaration.usageDescription.empty()
                                       ? text::text("privacy.audit.noRationale")
                                       : declaration.usageDescription;
            report += "  " + text::text(label(declaration.permission)) + ": " + rationale + "\n";
        }
    }
    return report;
}

std::string auditReportJSON(const AuditFindings& findings) {
    auto list = ordered_json::array();
    for (const auto& app : findings.apps) {
        auto declarations = ordered_json::array();
        for (const auto& declaration : app.declaredPermissions) {
            declarations.push_back({{"kind", rawValue(declaration.permission)},
                                    {"rationale", declaration.usageDescription}});
        }
        list.push_back({{"id", app.bundleID},
                        {"name", app.displayName},
                        {"installation", app.installation},
                        {"declarations", std::move(declarations)}});
    }
    return dumped({{"examined", findings.examined}, {"applications", std::move(list)}});
}

}  // namespace quillo
