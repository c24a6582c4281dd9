// The scripted server over Winsock, for the Windows test programs.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <chrono>
#include <stdexcept>

#include "tests/common/loopback_server.h"

namespace glyphoria::testing {

namespace {

constexpr const char* kLoopback = "127.0.0.1";

// Winsock is started once for the program and left running.
void EnsureWinsock() {
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    if (!started) throw std::runtime_error("scripted server: WSAStartup");
}

// Whether the socket has something to read within ms.
bool Readable(SOCKET s, int ms) {
    WSAPOLLFD pfd = {s, POLLRDNORM, 0};
    return WSAPoll(&pfd, 1, ms) > 0;
}

}  // namespace

ScriptedServer::ScriptedServer(std::vector<Step> script) : script_(std::move(script)) {
    EnsureWinsock();
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) throw std::runtime_error("scripted server: socket");
    listen_fd_ = static_cast<Socket>(s);
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_port = 0;
    inet_pton(AF_INET, kLoopback, &addr.sin_addr);
    int len = sizeof addr;
    if (bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(s, 16) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        closesocket(s);
        throw std::runtime_error("scripted server: bind");
    }
    port_ = ntohs(addr.sin_port);
    acceptor_ = std::thread([this] { AcceptLoop(); });
}

ScriptedServer::~ScriptedServer() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    acceptor_.join();
    for (std::thread& worker : workers_)
        worker.join();
    closesocket(static_cast<SOCKET>(listen_fd_));
}

std::string ScriptedServer::url(const std::string& path) const {
    return std::string("http://") + kLoopback + ":" + std::to_string(port_) + path;
}

std::string ScriptedServer::last_request() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return last_request_;
}

void ScriptedServer::AcceptLoop() {
    const SOCKET listener = static_cast<SOCKET>(listen_fd_);
    while (!stop_) {
        if (!Readable(listener, 20)) continue;
        SOCKET s = accept(listener, nullptr, nullptr);
        if (s == INVALID_SOCKET) continue;
        ++connections_;
        workers_.emplace_back([this, s] { Serve(static_cast<Socket>(s)); });
    }
}

bool ScriptedServer::PauseFor(int ms, int until_requests) {
    std::unique_lock<std::mutex> lock(mutex_);
    wake_.wait_for(lock, std::chrono::milliseconds(ms), [this, until_requests] {
        return stop_.load() || (until_requests > 0 && requests_ >= until_requests);
    });
    return !stop_.load();
}

void ScriptedServer::Serve(Socket fd) {
    const SOCKET s = static_cast<SOCKET>(fd);
    std::string head;
    char buf[4096];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536 && !stop_) {
        if (!Readable(s, 20)) continue;
        int n = recv(s, buf, sizeof buf, 0);
        if (n <= 0) break;
        head.append(buf, static_cast<std::size_t>(n));
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        last_request_ = head;
        ++requests_;
    }
    wake_.notify_all();
    for (const Step& step : script_) {
        if (step.kind == Step::kClose) break;
        if (step.kind == Step::kPause) {
            if (!PauseFor(step.pause_ms, step.until_requests)) break;
            continue;
        }
        std::size_t sent = 0;
        while (sent < step.bytes.size()) {
            int n =
                send(s, step.bytes.data() + sent, static_cast<int>(step.bytes.size() - sent), 0);
            if (n <= 0) break;
            sent += static_cast<std::size_t>(n);
        }
        if (sent < step.bytes.size()) break;
    }
    shutdown(s, SD_SEND);
    closesocket(s);
}

}  // namespace glyphoria::testing
