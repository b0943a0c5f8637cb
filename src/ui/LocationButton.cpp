#include "ui/LocationButton.h"

namespace quillo::ui {

QPushButton* makeLocationButton(const QString& title, const std::optional<std::string>& url,
                                OpenLocation open) {
    auto* button = new QPushButton(title);
    button->setAutoDefault(false);
    // A disabled button would only raise the question where it would lead.
    if (!url || url->empty() || !open) {
        button->setVisible(false);
        return button;
    }
    QObject::connect(button, &QPushButton::clicked, button,
                     [url = *url, open = std::move(open)] { open(url); });
    return button;
}

}  // namespace quillo::ui
