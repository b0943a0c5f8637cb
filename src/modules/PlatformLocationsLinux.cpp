#include "modules/ModuleLocations.h"

namespace quillo {

ModuleLocations platformLocations() {
    return linuxLocations({});
}

}  // namespace quillo
