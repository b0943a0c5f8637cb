#include "modules/ModuleLocations.h"

namespace quillo {

ModuleLocations platformLocations() {
    return macOSLocations({});
}

}  // namespace quillo
