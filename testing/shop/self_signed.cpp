#include "testing/shop/self_signed.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <sys/stat.h>

#include <cstdio>
#include <memory>

namespace glyphoria::testing::shop {

namespace {

struct KeyDeleter {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct CertDeleter {
    void operator()(X509* cert) const { X509_free(cert); }
};
struct FileCloser {
    void operator()(FILE* file) const { fclose(file); }
};

bool AddExtension(X509* cert, int nid, const char* value) {
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, cert, cert, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
    if (!extension) return false;
    bool added = X509_add_ext(cert, extension, -1) == 1;
    X509_EXTENSION_free(extension);
    return added;
}

std::unique_ptr<X509, CertDeleter> MakeCertificate(EVP_PKEY* key) {
    std::unique_ptr<X509, CertDeleter> cert(X509_new());
    if (!cert) return nullptr;
    unsigned char serial[8];
    long serial_number = 1;
    if (RAND_bytes(serial, sizeof serial) == 1)
        serial_number = (serial[0] << 16 | serial[1] << 8 | serial[2]) + 1;
    X509_set_version(cert.get(), 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), serial_number);
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), 30L * 24 * 3600);
    X509_set_pubkey(cert.get(), key);
    X509_NAME* name = X509_get_subject_name(cert.get());
    X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("Glyphoria Test Shop"), -1,
                               -1, 0);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
    X509_set_issuer_name(cert.get(), name);
    if (!AddExtension(cert.get(), NID_basic_constraints, "critical,CA:TRUE") ||
        !AddExtension(cert.get(), NID_key_usage, "critical,digitalSignature,keyCertSign") ||
        !AddExtension(cert.get(), NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost") ||
        !AddExtension(cert.get(), NID_subject_key_identifier, "hash"))
        return nullptr;
    if (X509_sign(cert.get(), key, EVP_sha256()) == 0) return nullptr;
    return cert;
}

}  // namespace

bool WriteSelfSignedCertificate(const std::string& dir, CertificateFiles* files,
                                std::string* error) {
    std::unique_ptr<EVP_PKEY, KeyDeleter> key(EVP_EC_gen("P-256"));
    if (!key) {
        *error = "cannot make a key";
        return false;
    }
    std::unique_ptr<X509, CertDeleter> cert = MakeCertificate(key.get());
    if (!cert) {
        *error = "cannot make the certificate";
        return false;
    }
    files->certificate = dir + "/shop-cert.pem";
    files->private_key = dir + "/shop-key.pem";
    std::unique_ptr<FILE, FileCloser> cert_file(fopen(files->certificate.c_str(), "wb"));
    std::unique_ptr<FILE, FileCloser> key_file(fopen(files->private_key.c_str(), "wb"));
    if (!cert_file || !key_file) {
        *error = "cannot write into " + dir;
        return false;
    }
    chmod(files->private_key.c_str(), 0600);
    if (PEM_write_X509(cert_file.get(), cert.get()) != 1 ||
        PEM_write_PrivateKey(key_file.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) !=
            1) {
        *error = "cannot write the PEM files";
        return false;
    }
    return true;
}

}  // namespace glyphoria::testing::shop
