#include <gtest/gtest.h>

#include <asio.hpp>
#include <map>
#include <mutex>
#include <thread>

#include "platform/Snapd.h"
#include "support/TemporaryDirectory.h"

namespace quillo::platform {
namespace {

using asio::local::stream_protocol;

/// A snapd stand-in on a test-local Unix socket: answers each "METHOD path" with a recorded
/// status and JSON body, and keeps every request line and body it was sent.
class RecordedSnapd {
  public:
    explicit RecordedSnapd(std::map<std::string, std::pair<int, std::string>> answers)
        : answers_(std::move(answers)), acceptor_(io_, stream_protocol::endpoint(path_.string())) {
        accept();
        thread_ = std::thread([this] { io_.run(); });
    }
    ~RecordedSnapd() {
        io_.stop();
        thread_.join();
    }

    [[nodiscard]] Snapd client() const {
        Snapd snapd;
        snapd.socket = path_;
        snapd.pause = [](std::chrono::milliseconds) {};
        snapd.maxPolls = 3;
        return snapd;
    }
    std::vector<std::string> requests() {
        const std::lock_guard lock(mutex_);
        return requests_;
    }

  private:
    void accept() {
        acceptor_.async_accept([this](std::error_code error, stream_protocol::socket socket) {
            if (!error) {
                answer(socket);
            }
            accept();
        });
    }
    void answer(stream_protocol::socket& socket) {
        std::string request;
        std::error_code error;
        asio::read_until(socket, asio::dynamic_buffer(request), "\r\n\r\n", error);
        const auto headerEnd = request.find("\r\n\r\n") + 4;
        const auto length = request.find("Content-Length: ");
        if (length != std::string::npos) {
            const auto bytes = std::stoul(request.substr(length + 16));
            if (request.size() < headerEnd + bytes) {
                asio::read(socket, asio::dynamic_buffer(request),
                           asio::transfer_exactly(headerEnd + bytes - request.size()), error);
            }
        }
        const auto line = request.substr(0, request.find(" HTTP/1.0"));
        {
            const std::lock_guard lock(mutex_);
            requests_.push_back(line +
                                (request.find("X-Allow-Interaction: true") != std::string::npos
                                     ? " +interaction"
                                     : "") +
                                request.substr(headerEnd));
        }
        const auto found = answers_.find(line);
        const auto [status, body] =
            found != answers_.end() ? found->second : std::pair<int, std::string>{404, "{}"};
        const auto response = "HTTP/1.0 " + std::to_string(status) +
                              " X\r\nContent-Type: application/json\r\n\r\n" + body;
        asio::write(socket, asio::buffer(response), error);
    }

    testing::TemporaryDirectory folder_;
    std::filesystem::path path_ = folder_ / "snapd.socket";
    std::map<std::string, std::pair<int, std::string>> answers_;
    asio::io_context io_;
    stream_protocol::acceptor acceptor_;
    std::thread thread_;
    std::mutex mutex_;
    std::vector<std::string> requests_;
};

constexpr char kSnaps[] = R"({"type":"sync","status-code":200,"result":[
  {"name":"vlc","title":"VLC","type":"app","installed-size":331000000},
  {"name":"core22","type":"base","installed-size":1},
  {"name":"Bad Name","type":"app"},
  {"name":"hello","type":"app","installed-size":"many"}]})";

constexpr char kConnections[] = R"({"type":"sync","status-code":200,"result":{"established":[
  {"interface":"camera","plug":{"snap":"vlc","plug":"camera"},"slot":{"snap":"snapd"}},
  {"interface":"home","plug":{"snap":"vlc","plug":"home"},"slot":{"snap":"snapd"}},
  {"interface":"network","plug":{"snap":"other","plug":"network"},"slot":{"snap":"vlc"}}]}})";

TEST(SnapdTest, ListsApplicationSnapsWithTheirConnectedInterfaces) {
    RecordedSnapd snapd(
        {{"GET /v2/snaps", {200, kSnaps}}, {"GET /v2/connections?snap=vlc", {200, kConnections}}});
    const auto apps = snapd.client().applications();
    ASSERT_EQ(apps.size(), 2U);
    EXPECT_EQ(apps[0].id, "hello");
    EXPECT_EQ(apps[0].name, "hello");
    EXPECT_EQ(apps[0].sizeInBytes, 0);
    EXPECT_EQ(apps[1].name, "VLC");
    EXPECT_EQ(apps[1].installation, "snap");
    EXPECT_EQ(apps[1].sizeInBytes, 331000000);
    EXPECT_EQ(apps[1].deployment, "/snap/vlc/current");
    EXPECT_EQ(snapd.client().connectedInterfaces("vlc"),
              (std::vector<std::string>{"camera", "home"}));
    EXPECT_TRUE(snapd.client().connectedInterfaces("../v2").empty());
}

TEST(SnapdTest, RemovalAsksWithInteractionAndFollowsTheChange) {
    const std::vector<std::pair<std::string, std::string>> changes{
        {R"({"result":{"status":"Done","ready":true}})", ""},
        {R"({"result":{"status":"Error","ready":true,"err":"cannot remove: busy"}})",
         "cannot remove: busy"},
        {R"({"result":{"status":"Doing","ready":false}})",
         "snapd hat die Entfernung nicht rechtzeitig beendet."},
    };
    for (const auto& [change, failure] : changes) {
        RecordedSnapd snapd({{"POST /v2/snaps/vlc", {202, R"({"type":"async","change":"7"})"}},
                             {"GET /v2/changes/7", {200, change}}});
        const auto removed = snapd.client().remove("vlc");
        EXPECT_EQ(removed ? "" : removed.error().description(), failure);
        const auto requests = snapd.requests();
        ASSERT_FALSE(requests.empty());
        EXPECT_EQ(requests[0],
                  R"(POST /v2/snaps/vlc +interaction{"action":"remove","purge":true})");
    }
}

TEST(SnapdTest, RefusalsAndASilentSnapdAreFailuresOrNothing) {
    RecordedSnapd snapd(
        {{"POST /v2/snaps/vlc",
          {403,
           R"({"type":"error","result":{"message":"access denied","kind":"login-required"}})"}},
         {"GET /v2/snaps", {200, "not json"}}});
    const auto removed = snapd.client().remove("vlc");
    ASSERT_FALSE(removed);
    EXPECT_EQ(removed.error().description(), "access denied");
    EXPECT_TRUE(snapd.client().applications().empty());
    Snapd absent;
    absent.socket = "/nonexistent/snapd.socket";
    EXPECT_TRUE(absent.applications().empty());
    EXPECT_FALSE(absent.remove("vlc"));
    EXPECT_FALSE(isSnapName("-rf"));
}

}  // namespace
}  // namespace quillo::platform
