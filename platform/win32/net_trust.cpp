// Trusting the certificates of a PEM file (SetTrustedCaFile) with WinINet.
//
// WinINet checks servers against the system's certificate stores only; it
// has no per-request trust list. The certificates of the file are therefore
// added to the current user's root store, and the ones this process added
// are taken out again when the setting is cleared or changed. This is meant
// for tests and the tool's --cacert: on a desktop Windows, adding a root
// certificate asks the user first (Wine does not ask).
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "platform/fs.h"
#include "platform/net.h"
#include "platform/win32/net_async.h"

#include <wincrypt.h>

namespace glyphoria::platform {

namespace {

std::mutex g_mutex;
std::string g_wanted;   // the file set last
std::string g_applied;  // the file whose certificates are in the store
bool g_dirty = false;
std::vector<std::vector<BYTE>> g_added;  // encoded certificates this process added

constexpr std::size_t kMaxPemFile = 1 << 20;

std::string ReadSmallFile(const std::string& path) {
    std::string text;
    std::FILE* file = OpenFile(path.c_str(), "rb");
    if (!file) return text;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, file)) > 0 && text.size() < kMaxPemFile)
        text.append(buf, n);
    std::fclose(file);
    return text;
}

// The DER bytes of every "CERTIFICATE" block of a PEM text.
std::vector<std::vector<BYTE>> DecodePem(const std::string& pem) {
    static const std::string kBegin = "-----BEGIN CERTIFICATE-----";
    static const std::string kEnd = "-----END CERTIFICATE-----";
    std::vector<std::vector<BYTE>> out;
    std::size_t at = 0;
    for (;;) {
        std::size_t begin = pem.find(kBegin, at);
        if (begin == std::string::npos) break;
        std::size_t end = pem.find(kEnd, begin);
        if (end == std::string::npos) break;
        std::string block = pem.substr(begin, end + kEnd.size() - begin);
        at = end + kEnd.size();
        DWORD size = 0;
        if (!CryptStringToBinaryA(block.c_str(), static_cast<DWORD>(block.size()),
                                  CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr, nullptr))
            continue;
        std::vector<BYTE> der(size);
        if (CryptStringToBinaryA(block.c_str(), static_cast<DWORD>(block.size()),
                                 CRYPT_STRING_BASE64HEADER, der.data(), &size, nullptr, nullptr)) {
            der.resize(size);
            out.push_back(std::move(der));
        }
    }
    return out;
}

// The certificate with the same SHA-1 hash in the store (the caller frees
// it), or null.
PCCERT_CONTEXT FindInStore(HCERTSTORE store, const std::vector<BYTE>& der) {
    BYTE hash[20];
    DWORD size = sizeof hash;
    if (!CryptHashCertificate(0, CALG_SHA1, 0, der.data(), static_cast<DWORD>(der.size()), hash,
                              &size))
        return nullptr;
    CRYPT_HASH_BLOB blob = {size, hash};
    return CertFindCertificateInStore(store, X509_ASN_ENCODING, 0, CERT_FIND_SHA1_HASH, &blob,
                                      nullptr);
}

bool InStore(HCERTSTORE store, const std::vector<BYTE>& der) {
    PCCERT_CONTEXT found = FindInStore(store, der);
    if (!found) return false;
    CertFreeCertificateContext(found);
    return true;
}

void RemoveAdded(HCERTSTORE store) {
    for (const std::vector<BYTE>& der : g_added) {
        // Deleting frees the context it is given.
        if (PCCERT_CONTEXT found = FindInStore(store, der)) CertDeleteCertificateFromStore(found);
    }
    g_added.clear();
}

// The current user's root store itself (the registry store), not the
// system's collection view of it: deleting through the collection does not
// reach the registry everywhere.
HCERTSTORE OpenUserRootStore() {
    return CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER,
                         L"Root");
}

// With g_mutex held.
void ApplyLocked() {
    if (!g_dirty) return;
    g_dirty = false;
    HCERTSTORE store = OpenUserRootStore();
    if (!store) return;
    RemoveAdded(store);
    g_applied = g_wanted;
    if (!g_wanted.empty()) {
        for (const std::vector<BYTE>& der : DecodePem(ReadSmallFile(g_wanted))) {
            if (InStore(store, der)) continue;  // trusted already; not ours to remove
            if (CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, der.data(),
                                                 static_cast<DWORD>(der.size()), CERT_STORE_ADD_NEW,
                                                 nullptr))
                g_added.push_back(der);
        }
    }
    CertCloseStore(store, 0);
}

}  // namespace

void SetTrustedCaFile(const char* path) {
    // A program that never clears the setting still takes its certificates
    // out of the store when it ends normally.
    static const bool cleanup_registered = std::atexit([] { SetTrustedCaFile(nullptr); }) == 0;
    (void)cleanup_registered;
    std::lock_guard<std::mutex> lock(g_mutex);
    g_wanted = path ? path : "";
    g_dirty = g_wanted != g_applied;
    // Going back to the system's trust takes the added certificates out at
    // once, so none outlives the process that wanted it.
    if (g_wanted.empty()) ApplyLocked();
}

namespace win32 {

void ApplyTrustedCertificates() {
    std::lock_guard<std::mutex> lock(g_mutex);
    ApplyLocked();
}

}  // namespace win32
}  // namespace glyphoria::platform
