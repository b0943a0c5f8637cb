#include "model/CleanableItemWarning.h"

namespace quillo {

LocalizableText label(CleanableItemWarning warning) {
    switch (warning) {
        case CleanableItemWarning::recentlyModified:
            return {"warning.recentlyModified", "Kürzlich geändert"};
        case CleanableItemWarning::irreversible:
            return {"warning.irreversible", "Unwiderruflich"};
        case CleanableItemWarning::requiresElevatedPrivileges:
            return {"warning.elevated", "Benötigt erhöhte Rechte"};
        case CleanableItemWarning::kernelPanic:
            return {"warning.kernelPanic", "Kernel-Panik-Bericht"};
        case CleanableItemWarning::largeFile:
            return {"warning.largeFile", "Sehr große Datei"};
        case CleanableItemWarning::lockedByRunningProcess:
            return {"warning.locked", "Wird von einem Prozess verwendet"};
        case CleanableItemWarning::hibernationActive:
            return {"warning.hibernation", "Tiefschlaf aktiv"};
    }
    return {};
}

std::string_view symbolName(CleanableItemWarning warning) {
    switch (warning) {
        case CleanableItemWarning::recentlyModified:
            return "clock";
        case CleanableItemWarning::irreversible:
            return "exclamationmark.triangle";
        case CleanableItemWarning::requiresElevatedPrivileges:
            return "lock.shield";
        case CleanableItemWarning::kernelPanic:
            return "bolt.trianglebadge.exclamationmark";
        case CleanableItemWarning::largeFile:
            return "shippingbox";
        case CleanableItemWarning::lockedByRunningProcess:
            return "lock";
        case CleanableItemWarning::hibernationActive:
            return "powersleep";
    }
    return {};
}

}  // namespace quillo
