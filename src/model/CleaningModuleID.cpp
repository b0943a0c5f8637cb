#include "model/CleaningModuleID.h"

namespace quillo {

LocalizableText displayName(CleaningModuleID id) {
    switch (id) {
        case CleaningModuleID::systemCaches:
            return LocalizableText::ownKey("System-Caches");
        case CleaningModuleID::systemLogs:
            return LocalizableText::ownKey("System-Logs");
        case CleaningModuleID::tempFiles:
            return LocalizableText::ownKey("Temporäre Dateien");
        case CleaningModuleID::sleepImage:
            return LocalizableText::ownKey("Ruhezustand-Abbild");
        case CleaningModuleID::diagnosticReports:
            return LocalizableText::ownKey("Diagnoseberichte");
        case CleaningModuleID::applicationResidual:
            return LocalizableText::ownKey("App-Reste");
        case CleaningModuleID::localSnapshots:
            return LocalizableText::ownKey("Lokale Snapshots");
        case CleaningModuleID::fontCache:
            return LocalizableText::ownKey("Schrift-Caches");
    }
    return {};
}

}  // namespace quillo
