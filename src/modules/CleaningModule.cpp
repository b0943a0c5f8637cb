#include "modules/CleaningModule.h"

namespace quillo {

CleaningModule::CleaningModule(CleaningModuleDescriptor properties, support::ExecutorRef context)
    : properties_(std::move(properties)), context_(std::move(context)) {}

}  // namespace quillo
