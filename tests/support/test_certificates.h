#pragma once

#include <string>

// Certificates made at test time: a test CA, and server certificates for the
// loopback servers, all as PEM files in a folder of the process's own.
// Point SSL_CERT_FILE at CaFile to make the client trust the test CA.
struct TestCertificates {
    std::string CaFile;
    // For "localhost" and 127.0.0.1, signed by the test CA, valid now.
    std::string ServerCertificate, ServerKey;
    // Signed by the test CA but expired an hour ago.
    std::string ExpiredCertificate, ExpiredKey;
    // Valid, but for "mail.example.org" only.
    std::string WrongNameCertificate, WrongNameKey;
    // For localhost, signed by a CA the client does not know.
    std::string UnknownCaCertificate, UnknownCaKey;
};

// Made once per process (the first call writes the files).
const TestCertificates& Certificates();

// Sets SSL_CERT_FILE to the test CA (or to caFile) for the life of the object.
class TrustTestCa {
public:
    TrustTestCa();
    explicit TrustTestCa(const std::string& caFile);
    ~TrustTestCa();
    TrustTestCa(const TrustTestCa&) = delete;
    TrustTestCa& operator=(const TrustTestCa&) = delete;

private:
    std::string m_previous;
    bool m_hadPrevious = false;
};
