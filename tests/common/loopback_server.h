// Servers on 127.0.0.1 for tests that need the network: a real HTTP or HTTPS
// server (cpp-httplib) on a free port, a self-signed certificate for it, and
// a scripted server that answers every connection with exact bytes, pauses
// and an abrupt close, for the answers a well-behaved server never gives.
//
// Every server runs on its own threads and stops in its destructor. Nothing
// here ever listens on anything but the loopback address.
//
// Windows builds have the scripted server only (over Winsock): there is no
// cpp-httplib or OpenSSL for the cross compiler.
#pragma once

#ifndef _WIN32
#include <httplib.h>
#endif

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/common/test_env.h"

namespace glyphoria::testing {

#ifndef _WIN32
// A key and a certificate for 127.0.0.1 (subject and alternative name),
// self-signed and marked as a CA, so the certificate file itself is the
// trust anchor a client needs. Throws std::runtime_error on failure.
class SelfSignedCertificate {
  public:
    SelfSignedCertificate();
    const std::string& cert_file() const { return cert_file_; }
    const std::string& key_file() const { return key_file_; }

  private:
    TempDir dir_;
    std::string cert_file_;
    std::string key_file_;
};

// cpp-httplib on 127.0.0.1 and a port the system picks. Register handlers on
// server(), then Start(). Throws std::runtime_error when it cannot listen.
class LoopbackServer {
  public:
    LoopbackServer();                                                   // http://
    explicit LoopbackServer(const SelfSignedCertificate& certificate);  // https://
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    httplib::Server& server() { return *server_; }
    void Start();
    int port() const { return port_; }
    // "http://127.0.0.1:PORT" (or https) followed by path.
    std::string url(const std::string& path) const;

  private:
    std::unique_ptr<httplib::Server> server_;
    std::string scheme_;
    int port_ = -1;
    std::thread thread_;
};
#endif  // _WIN32

// A server that reads each request (up to the blank line) and then plays a
// script on that connection. Steps: send bytes, pause (cut short when the
// server stops, or once the server has read that many requests on all its
// connections together), close. Without a closing step the connection is closed after
// the script.
class ScriptedServer {
  public:
#ifdef _WIN32
    using Socket = std::uintptr_t;
#else
    using Socket = int;
#endif
    struct Step {
        enum Kind { kSend, kPause, kClose } kind;
        std::string bytes;
        int pause_ms;
        int until_requests = 0;  // kPause: 0, or ends early at this many requests
    };
    static Step Send(std::string bytes) {
        return Step{Step::kSend, std::move(bytes), 0, 0};
    }
    static Step Pause(int ms) {
        return Step{Step::kPause, std::string(), ms, 0};
    }
    // Holds the answer until requests requests have come in (this one
    // counted), or for at most ms.
    static Step AwaitRequests(int requests, int ms) {
        return Step{Step::kPause, std::string(), ms, requests};
    }
    static Step Close() {
        return Step{Step::kClose, std::string(), 0, 0};
    }

    explicit ScriptedServer(std::vector<Step> script);
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    int port() const {
        return port_;
    }
    std::string url(const std::string& path) const;
    // Connections accepted so far, and the last request's head.
    int connections() const {
        return connections_.load();
    }
    std::string last_request() const;

  private:
    void AcceptLoop();
    void Serve(Socket fd);
    bool PauseFor(int ms, int until_requests);  // false when the server is stopping

    std::vector<Step> script_;
    Socket listen_fd_ = static_cast<Socket>(-1);
    int port_ = -1;
    std::atomic<bool> stop_{false};
    std::atomic<int> connections_{0};
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::string last_request_;
    int requests_ = 0;  // under mutex_
    std::vector<std::thread> workers_;
    std::thread acceptor_;
};

// An HTTP/1.1 response head with the given status line and header lines
// (each without CRLF), ended by the blank line.
std::string ResponseHead(const std::string& status, const std::vector<std::string>& headers);

}  // namespace glyphoria::testing
