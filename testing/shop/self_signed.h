// A self-signed certificate for the shop's HTTPS listener.
//
// Made fresh at start (an EC P-256 key, valid from an hour ago for 30 days)
// for the subject 127.0.0.1 with the alternative names IP 127.0.0.1 and DNS
// localhost. It is marked as a CA certificate, so a client can trust exactly
// this certificate by passing its file as the CA file.
#pragma once

#include <string>

namespace glyphoria::testing::shop {

struct CertificateFiles {
    std::string certificate;  // PEM
    std::string private_key;  // PEM, readable by the owner only
};

// Writes "shop-cert.pem" and "shop-key.pem" into dir; false with a reason
// in *error when OpenSSL or the file system refuses.
bool WriteSelfSignedCertificate(const std::string& dir, CertificateFiles* files,
                                std::string* error);

}  // namespace glyphoria::testing::shop
