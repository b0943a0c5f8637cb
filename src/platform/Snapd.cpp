#include "platform/Snapd.h"

#include <sys/socket.h>
#include <sys/un.h>

#include <algorithm>
#include <cstring>
#include <nlohmann/json.hpp>
#include <optional>
#include <thread>

#include "platform/FileDescriptor.h"
#include "platform/PackageError.h"

namespace quillo::platform {

namespace {

using nlohmann::json;

constexpr std::size_t kMaxResponseBytes = std::size_t{16} << 20;
constexpr std::size_t kMaxSnaps = 5000;
constexpr std::size_t kMaxNameBytes = 200;

struct Response {
    int status = 0;
    json body;
};

support::Error failure(std::string message) {
    return support::Error::make(PackageError(std::move(message)));
}

FileDescriptor connectTo(const std::filesystem::path& socketPath,
                         std::chrono::milliseconds timeout) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.native().size() >= sizeof(address.sun_path)) {
        return {};
    }
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.native().size());
    FileDescriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const timeval limit{.tv_sec = static_cast<time_t>(timeout.count() / 1000),
                        .tv_usec = static_cast<suseconds_t>(timeout.count() % 1000 * 1000)};
    if (!socket.valid() ||
        ::setsockopt(socket.get(), SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof(limit)) != 0 ||
        ::setsockopt(socket.get(), SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof(limit)) != 0 ||
        ::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) !=
            0) {
        return {};
    }
    return socket;
}

bool sendAll(int socket, std::string_view bytes) {
    while (!bytes.empty()) {
        const auto sent = ::send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

std::optional<std::string> receiveAll(int socket) {
    std::string bytes;
    char buffer[16 * 1024];
    while (true) {
        const auto got = ::recv(socket, buffer, sizeof(buffer), 0);
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            return bytes;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
        if (bytes.size() > kMaxResponseBytes) {
            return std::nullopt;
        }
    }
}

// HTTP/1.0 keeps the answer plain: no chunks, the body ends where the connection does.
std::optional<Response> parseResponse(const std::string& bytes) {
    const auto headerEnd = bytes.find("\r\n\r\n");
    if (!bytes.starts_with("HTTP/1.") || headerEnd == std::string::npos || bytes.size() < 12) {
        return std::nullopt;
    }
    Response response;
    response.status = std::atoi(bytes.c_str() + 9);
    response.body = json::parse(bytes.begin() + static_cast<std::ptrdiff_t>(headerEnd) + 4,
                                bytes.end(), nullptr, false);
    if (response.body.is_discarded() || !response.body.is_object()) {
        return std::nullopt;
    }
    return response;
}

support::Result<Response> request(const Snapd& snapd, std::string_view method,
                                  const std::string& path, const std::string& body = {}) {
    const auto socket = connectTo(snapd.socket, snapd.timeout);
    if (!socket.valid()) {
        return failure("snapd antwortet nicht (" + snapd.socket.string() + ").");
    }
    std::string message = std::string(method) + " " + path +
                          " HTTP/1.0\r\nHost: localhost\r\nX-Allow-Interaction: true\r\n";
    if (!body.empty()) {
        message +=
            "Content-Type: application/json\r\nContent-Length: " + std::to_string(body.size()) +
            "\r\n";
    }
    message += "\r\n" + body;
    std::optional<Response> response;
    if (sendAll(socket.get(), message)) {
        if (const auto bytes = receiveAll(socket.get())) {
            response = parseResponse(*bytes);
        }
    }
    if (!response) {
        return failure("snapd hat nicht verständlich geantwortet.");
    }
    return *response;
}

std::string text(const json& object, const char* key) {
    const auto found = object.find(key);
    return found != object.end() && found->is_string() ? found->get<std::string>() : "";
}

std::string errorMessage(const Response& response) {
    const auto result = response.body.find("result");
    if (result != response.body.end() && result->is_object()) {
        if (auto message = text(*result, "message"); !message.empty()) {
            return message;
        }
    }
    return "snapd hat die Anfrage abgelehnt (HTTP " + std::to_string(response.status) + ").";
}

const json* resultOf(const Response& response, json::value_t type) {
    const auto result = response.body.find("result");
    return response.status == 200 && result != response.body.end() && result->type() == type
               ? &*result
               : nullptr;
}

std::optional<PackagedApplication> snapApplication(const json& snap) {
    auto name = text(snap, "name");
    if (!snap.is_object() || text(snap, "type") != "app" || !isSnapName(name)) {
        return std::nullopt;
    }
    auto title = text(snap, "title");
    const auto size = snap.find("installed-size");
    return PackagedApplication{
        .kind = PackageKind::snap,
        .id = name,
        .name = title.empty() || title.size() > kMaxNameBytes ? name : title,
        .sizeInBytes = size != snap.end() && size->is_number_integer() && *size >= 0
                           ? size->get<std::int64_t>()
                           : 0,
        .installation = std::string(kSnapInstallation),
        .installationLabel = std::string(kSnapInstallation),
        .deployment = std::filesystem::path("/snap") / name / "current",
    };
}

}  // namespace

bool isSnapName(std::string_view name) {
    return !name.empty() && name.size() <= 40 && !name.starts_with('-') && !name.ends_with('-') &&
           name.find("--") == std::string_view::npos &&
           std::ranges::all_of(name,
                               [](char c) {
                                   return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                                          c == '-';
                               }) &&
           std::ranges::any_of(name, [](char c) { return c >= 'a' && c <= 'z'; });
}

std::vector<PackagedApplication> Snapd::applications() const {
    std::vector<PackagedApplication> applications;
    const auto response = request(*this, "GET", "/v2/snaps");
    const json* snaps = response ? resultOf(response.value(), json::value_t::array) : nullptr;
    if (snaps == nullptr) {
        return applications;
    }
    for (const auto& snap : *snaps) {
        if (applications.size() == kMaxSnaps) {
            break;
        }
        if (auto application = snapApplication(snap)) {
            applications.push_back(std::move(*application));
        }
    }
    std::ranges::sort(applications, {}, &PackagedApplication::id);
    return applications;
}

std::vector<std::string> Snapd::connectedInterfaces(const std::string& name) const {
    std::vector<std::string> interfaces;
    if (!isSnapName(name)) {
        return interfaces;
    }
    const auto response = request(*this, "GET", "/v2/connections?snap=" + name);
    const json* result = response ? resultOf(response.value(), json::value_t::object) : nullptr;
    const auto established =
        result != nullptr ? result->find("established") : json::const_iterator{};
    if (result == nullptr || established == result->end() || !established->is_array()) {
        return interfaces;
    }
    for (const auto& connection : *established) {
        const auto plug = connection.is_object() ? connection.find("plug") : connection.end();
        if (plug != connection.end() && plug->is_object() && text(*plug, "snap") == name) {
            interfaces.push_back(text(connection, "interface"));
        }
    }
    return interfaces;
}

support::Status Snapd::remove(const std::string& name) const {
    if (!isSnapName(name)) {
        return failure("Kein gültiger Snap-Name: " + name);
    }
    const auto started = request(*this, "POST", "/v2/snaps/" + name,
                                 json{{"action", "remove"}, {"purge", true}}.dump());
    if (!started) {
        return started.error();
    }
    const auto change = text(started.value().body, "change");
    if (started.value().status != 202 || change.empty()) {
        return failure(errorMessage(started.value()));
    }
    for (int poll = 0; poll < maxPolls; ++poll) {
        const auto looked = request(*this, "GET", "/v2/changes/" + change);
        if (!looked) {
            return looked.error();
        }
        const json* result = resultOf(looked.value(), json::value_t::object);
        if (result == nullptr) {
            return failure(errorMessage(looked.value()));
        }
        const auto ready = result->find("ready");
        if (ready != result->end() && ready->is_boolean() && ready->get<bool>()) {
            if (text(*result, "status") == "Done") {
                return support::Unit{};
            }
            const auto message = text(*result, "err");
            return failure(message.empty() ? "snapd hat die Entfernung abgebrochen." : message);
        }
        pause(std::chrono::milliseconds(500));
    }
    return failure("snapd hat die Entfernung nicht rechtzeitig beendet.");
}

Snapd systemSnapd() {
    Snapd snapd;
    snapd.pause = [](std::chrono::milliseconds duration) { std::this_thread::sleep_for(duration); };
    return snapd;
}

}  // namespace quillo::platform
