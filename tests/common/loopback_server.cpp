#include "tests/common/loopback_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <stdexcept>

namespace glyphoria::testing {

namespace {

constexpr const char* kLoopback = "127.0.0.1";

template <typename T, void (*Free)(T*)>
struct OsslDeleter {
    void operator()(T* p) const { Free(p); }
};
using KeyPtr = std::unique_ptr<EVP_PKEY, OsslDeleter<EVP_PKEY, EVP_PKEY_free>>;
using CertPtr = std::unique_ptr<X509, OsslDeleter<X509, X509_free>>;

void Check(bool ok, const char* what) {
    if (!ok) throw std::runtime_error(std::string("self-signed certificate: ") + what);
}

void AddExtension(X509* cert, int nid, const char* value) {
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, cert, cert, nullptr, nullptr, 0);
    X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
    Check(ext != nullptr, "extension");
    bool added = X509_add_ext(cert, ext, -1) == 1;
    X509_EXTENSION_free(ext);
    Check(added, "add extension");
}

template <typename Write>
void WritePem(const std::string& path, Write write) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    Check(file != nullptr, "open PEM file");
    bool ok = write(file);
    ok = std::fclose(file) == 0 && ok;
    Check(ok, "write PEM file");
}

}  // namespace

SelfSignedCertificate::SelfSignedCertificate()
    : cert_file_(dir_.file("cert.pem")), key_file_(dir_.file("key.pem")) {
    KeyPtr key(EVP_EC_gen("P-256"));
    Check(key != nullptr, "key");
    CertPtr cert(X509_new());
    Check(cert != nullptr, "certificate");
    X509* x = cert.get();
    X509_set_version(x, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(x), 1);
    X509_gmtime_adj(X509_getm_notBefore(x), -3600);
    X509_gmtime_adj(X509_getm_notAfter(x), 7 * 86400);
    Check(X509_set_pubkey(x, key.get()) == 1, "public key");
    X509_NAME* name = X509_get_subject_name(x);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>(kLoopback), -1, -1, 0);
    Check(X509_set_issuer_name(x, name) == 1, "issuer");
    AddExtension(x, NID_basic_constraints, "critical,CA:TRUE");
    AddExtension(x, NID_subject_key_identifier, "hash");
    AddExtension(x, NID_subject_alt_name, "IP:127.0.0.1");
    Check(X509_sign(x, key.get(), EVP_sha256()) > 0, "sign");
    WritePem(cert_file_, [&](std::FILE* f) { return PEM_write_X509(f, x) == 1; });
    WritePem(key_file_, [&](std::FILE* f) {
        return PEM_write_PrivateKey(f, key.get(), nullptr, nullptr, 0, nullptr, nullptr) == 1;
    });
}

LoopbackServer::LoopbackServer() : server_(new httplib::Server), scheme_("http") {}

LoopbackServer::LoopbackServer(const SelfSignedCertificate& certificate)
    : server_(
          new httplib::SSLServer(certificate.cert_file().c_str(), certificate.key_file().c_str())),
      scheme_("https") {
    if (!server_->is_valid()) throw std::runtime_error("https server: certificate not accepted");
}

LoopbackServer::~LoopbackServer() {
    server_->stop();
    if (thread_.joinable()) thread_.join();
}

void LoopbackServer::Start() {
    port_ = server_->bind_to_any_port(kLoopback);
    if (port_ <= 0) throw std::runtime_error("loopback server: cannot bind");
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    for (int i = 0; i < 500 && !server_->is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    if (!server_->is_running()) throw std::runtime_error("loopback server: not running");
}

std::string LoopbackServer::url(const std::string& path) const {
    return scheme_ + "://" + kLoopback + ":" + std::to_string(port_) + path;
}

ScriptedServer::ScriptedServer(std::vector<Step> script) : script_(std::move(script)) {
    listen_fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listen_fd_ < 0) throw std::runtime_error("scripted server: socket");
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_port = 0;
    inet_pton(AF_INET, kLoopback, &addr.sin_addr);
    socklen_t len = sizeof addr;
    if (bind(listen_fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        listen(listen_fd_, 16) != 0 ||
        getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        close(listen_fd_);
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
    close(listen_fd_);
}

std::string ScriptedServer::url(const std::string& path) const {
    return std::string("http://") + kLoopback + ":" + std::to_string(port_) + path;
}

std::string ScriptedServer::last_request() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return last_request_;
}

void ScriptedServer::AcceptLoop() {
    while (!stop_) {
        pollfd pfd = {listen_fd_, POLLIN, 0};
        if (poll(&pfd, 1, 20) <= 0) continue;
        int fd = accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        ++connections_;
        workers_.emplace_back([this, fd] { Serve(fd); });
    }
}

bool ScriptedServer::PauseFor(int ms, int until_requests) {
    std::unique_lock<std::mutex> lock(mutex_);
    wake_.wait_for(lock, std::chrono::milliseconds(ms), [this, until_requests] {
        return stop_.load() || (until_requests > 0 && requests_ >= until_requests);
    });
    return !stop_.load();
}

void ScriptedServer::Serve(int fd) {
    std::string head;
    char buf[4096];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536 && !stop_) {
        pollfd pfd = {fd, POLLIN, 0};
        if (poll(&pfd, 1, 20) <= 0) continue;
        ssize_t n = recv(fd, buf, sizeof buf, 0);
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
            ssize_t n = send(fd, step.bytes.data() + sent, step.bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) break;
            sent += static_cast<std::size_t>(n);
        }
        if (sent < step.bytes.size()) break;
    }
    close(fd);
}

}  // namespace glyphoria::testing
