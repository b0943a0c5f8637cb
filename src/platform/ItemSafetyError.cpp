#include "platform/ItemSafetyError.h"

namespace quillo::platform {

support::Error ItemSafetyError::make(Kind kind) {
    return support::Error::make(ItemSafetyError(kind));
}

std::string ItemSafetyError::description() const {
    switch (kind_) {
        case Kind::linkInPath:
            return "Ein Ordner auf dem Weg zum Objekt ist ein symbolischer Link; nichts wurde "
                   "verändert.";
        case Kind::otherMount:
            return "Das Objekt liegt auf einem anderen Einhängepunkt als der Ordner, in dem es "
                   "gefunden wurde; nichts wurde verändert.";
        case Kind::mountPoint:
            return "Das Objekt ist ein Einhängepunkt; es bleibt mit seinem Inhalt unberührt.";
        case Kind::containsMountPoint:
            return "Das Objekt enthält einen Einhängepunkt: Alles außerhalb davon wurde gelöscht, "
                   "der eingehängte Inhalt bleibt unberührt.";
        case Kind::replaced:
            return "Das Objekt wurde während des Löschens gegen ein anderes ausgetauscht und wird "
                   "nicht weiter bearbeitet.";
    }
    return {};
}

}  // namespace quillo::platform
