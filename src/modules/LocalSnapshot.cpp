#include "modules/LocalSnapshot.h"

#include "support/Hashing.h"

std::size_t std::hash<quillo::LocalSnapshot>::operator()(
    const quillo::LocalSnapshot& snapshot) const noexcept {
    return quillo::support::hashAll(snapshot.id, snapshot.dateToken,
                                    snapshot.date.time_since_epoch().count(), snapshot.apfsUUID,
                                    static_cast<int>(snapshot.source), snapshot.configuration,
                                    snapshot.label);
}
