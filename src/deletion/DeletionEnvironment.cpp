#include "deletion/DeletionEnvironment.h"

namespace quillo {

DeletionEnvironment::DeletionEnvironment() = default;

}  // namespace quillo
