#include "viewmodels/SettingsReset.h"

#include <utility>

namespace quillo {

void resetSettingsAndReceipts(AppSettings& settings, const std::shared_ptr<ReceiptStore>& store,
                              std::shared_ptr<support::MainExecutor> main,
                              std::function<void(std::optional<std::string>)> done) {
    settings.resetAll();
    store->reset([main = std::move(main), done = std::move(done)](const support::Status& reset) {
        std::optional<std::string> failure;
        if (!reset) {
            failure = reset.error().description();
        }
        main->post([done, failure = std::move(failure)] { done(failure); });
    });
}

}  // namespace quillo
