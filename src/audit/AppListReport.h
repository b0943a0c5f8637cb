#pragma once

#include <string>
#include <vector>

#include "audit/PackagedAppAudit.h"
#include "platform/PackagedApplication.h"

namespace quillo {

/// One line per installed packaged application: name, ID, installation, size.
std::string applicationListText(const std::vector<platform::PackagedApplication>& apps);
/// {"applications":[{"id","name","kind","installation","sizeInBytes"}…]}
std::string applicationListJSON(const std::vector<platform::PackagedApplication>& apps);

/// Per audited application its name, ID and installation, then one line per declaration with
/// the permission's label and its rationale.
std::string auditReportText(const AuditFindings& findings);
/// {"examined":n,"applications":[{"id","name","installation","declarations":[{"kind",
/// "rationale"}…]}…]}
std::string auditReportJSON(const AuditFindings& findings);

}  // namespace quillo
