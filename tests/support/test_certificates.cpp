#include "support/test_certificates.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace {

using Key = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using Certificate = std::unique_ptr<X509, decltype(&X509_free)>;

Key NewKey() {
    Key key(EVP_EC_gen("P-256"), EVP_PKEY_free);
    if (!key)
        throw std::runtime_error("cannot make a test key");
    return key;
}

void AddExtension(X509* certificate, X509* issuer, int nid, const char* value) {
    X509V3_CTX context;
    X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
    if (!extension)
        throw std::runtime_error("cannot make a certificate extension");
    X509_add_ext(certificate, extension, -1);
    X509_EXTENSION_free(extension);
}

struct Subject {
    const char* commonName;
    const char* altNames; // nullptr for a CA
    long notBeforeSeconds;
    long notAfterSeconds;
};

// Signs with issuerKey as issuer (itself when issuer is null).
Certificate MakeCertificate(const Subject& subject, EVP_PKEY* key, X509* issuer, EVP_PKEY* issuerKey) {
    static long serial = 1;
    Certificate certificate(X509_new(), X509_free);
    X509_set_version(certificate.get(), 2);
    ASN1_INTEGER_set(X509_get_serialNumber(certificate.get()), serial++);
    X509_gmtime_adj(X509_getm_notBefore(certificate.get()), subject.notBeforeSeconds);
    X509_gmtime_adj(X509_getm_notAfter(certificate.get()), subject.notAfterSeconds);
    X509_set_pubkey(certificate.get(), key);
    X509_NAME* name = X509_get_subject_name(certificate.get());
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(subject.commonName), -1,
                               -1, 0);
    X509_set_issuer_name(certificate.get(), issuer ? X509_get_subject_name(issuer) : name);
    X509* signer = issuer ? issuer : certificate.get();
    if (subject.altNames) {
        AddExtension(certificate.get(), signer, NID_basic_constraints, "critical,CA:FALSE");
        AddExtension(certificate.get(), signer, NID_subject_alt_name, subject.altNames);
        AddExtension(certificate.get(), signer, NID_ext_key_usage, "serverAuth");
    } else {
        AddExtension(certificate.get(), signer, NID_basic_constraints, "critical,CA:TRUE");
        AddExtension(certificate.get(), signer, NID_key_usage, "critical,keyCertSign,cRLSign");
    }
    AddExtension(certificate.get(), signer, NID_subject_key_identifier, "hash");
    if (X509_sign(certificate.get(), issuerKey, EVP_sha256()) == 0)
        throw std::runtime_error("cannot sign a test certificate");
    return certificate;
}

void WritePem(const std::string& path, X509* certificate, EVP_PKEY* key) {
    FILE* file = std::fopen(path.c_str(), "w");
    if (!file)
        throw std::runtime_error("cannot write " + path);
    bool written = key ? PEM_write_PrivateKey(file, key, nullptr, nullptr, 0, nullptr, nullptr) == 1
                       : PEM_write_X509(file, certificate) == 1;
    std::fclose(file);
    if (!written)
        throw std::runtime_error("cannot write " + path);
}

TestCertificates Make() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/quorvane-certs-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a folder for test certificates");
    std::string folder = pattern + "/";
    const long hour = 3600, day = 24 * hour;

    Key caKey = NewKey();
    Certificate ca = MakeCertificate({"Quorvane Test CA", nullptr, -hour, 30 * day}, caKey.get(), nullptr, caKey.get());
    Key otherCaKey = NewKey();
    Certificate otherCa =
        MakeCertificate({"Unknown Test CA", nullptr, -hour, 30 * day}, otherCaKey.get(), nullptr, otherCaKey.get());

    TestCertificates files;
    files.CaFile = folder + "ca.pem";
    WritePem(files.CaFile, ca.get(), nullptr);
    struct Server {
        std::string name;
        Subject subject;
        X509* issuer;
        EVP_PKEY* issuerKey;
        std::string* certificateFile;
        std::string* keyFile;
    };
    const char* local = "DNS:localhost,IP:127.0.0.1";
    const Server servers[] = {
        {"server",
         {"localhost", local, -hour, 30 * day},
         ca.get(),
         caKey.get(),
         &files.ServerCertificate,
         &files.ServerKey},
        {"expired",
         {"localhost", local, -2 * day, -hour},
         ca.get(),
         caKey.get(),
         &files.ExpiredCertificate,
         &files.ExpiredKey},
        {"wrong-name",
         {"mail.example.org", "DNS:mail.example.org", -hour, 30 * day},
         ca.get(),
         caKey.get(),
         &files.WrongNameCertificate,
         &files.WrongNameKey},
        {"unknown-ca",
         {"localhost", local, -hour, 30 * day},
         otherCa.get(),
         otherCaKey.get(),
         &files.UnknownCaCertificate,
         &files.UnknownCaKey},
    };
    for (const Server& server : servers) {
        Key key = NewKey();
        Certificate certificate = MakeCertificate(server.subject, key.get(), server.issuer, server.issuerKey);
        *server.certificateFile = folder + server.name + ".pem";
        *server.keyFile = folder + server.name + ".key";
        WritePem(*server.certificateFile, certificate.get(), nullptr);
        WritePem(*server.keyFile, nullptr, key.get());
    }
    return files;
}

} // namespace

const TestCertificates& Certificates() {
    static const TestCertificates files = Make();
    return files;
}

TrustTestCa::TrustTestCa() : TrustTestCa(Certificates().CaFile) {}

TrustTestCa::TrustTestCa(const std::string& caFile) {
    if (const char* previous = std::getenv("SSL_CERT_FILE")) {
        m_previous = previous;
        m_hadPrevious = true;
    }
    ::setenv("SSL_CERT_FILE", caFile.c_str(), 1);
}

TrustTestCa::~TrustTestCa() {
    if (m_hadPrevious)
        ::setenv("SSL_CERT_FILE", m_previous.c_str(), 1);
    else
        ::unsetenv("SSL_CERT_FILE");
}
