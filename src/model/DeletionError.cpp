#include "model/DeletionError.h"

#include <string_view>

namespace quillo {

namespace {

constexpr std::string_view kOverwriteFailedTemplate = "Überschreiben fehlgeschlagen: %@";
constexpr std::string_view kPlaceholder = "%@";

}  // namespace

support::Error DeletionError::overwriteFailed(std::string reason) {
    return support::Error::make(DeletionError(Kind::overwriteFailed, std::move(reason)));
}

support::Error DeletionError::verificationFailed() {
    return support::Error::make(DeletionError(Kind::verificationFailed, {}));
}

support::Error DeletionError::randomBytesFailed() {
    return support::Error::make(DeletionError(Kind::randomBytesFailed, {}));
}

std::string DeletionError::description() const {
    switch (kind_) {
        case Kind::overwriteFailed: {
            const auto placeholder = kOverwriteFailedTemplate.find(kPlaceholder);
            std::string text(kOverwriteFailedTemplate.substr(0, placeholder));
            text += reason_;
            text += kOverwriteFailedTemplate.substr(placeholder + kPlaceholder.size());
            return text;
        }
        case Kind::verificationFailed:
            return "Datei existiert nach dem Löschvorgang weiterhin.";
        case Kind::randomBytesFailed:
            return "Sichere Zufallsdaten konnten nicht erzeugt werden.";
    }
    return {};
}

}  // namespace quillo
