#include "model/DeletionMode.h"

namespace quillo {

LocalizableText label(DeletionMode mode) {
    switch (mode) {
        case DeletionMode::standard:
            return {"settings.method.standard", "Standard"};
        case DeletionMode::secureOverwrite:
            return {"settings.method.bsi", "Sicher überschreiben (1 Durchlauf, BSI)"};
        case DeletionMode::secureOverwriteThreePass:
            return {"settings.method.dod", "Sicher überschreiben (3 Durchläufe, DoD)"};
    }
    return {};
}

}  // namespace quillo
