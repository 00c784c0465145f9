#include "platform/tls_channel.h"

#include "platform/mail_transport_error.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <arpa/inet.h>
#include <csignal>
#include <ctime>
#include <pthread.h>

namespace {

bool IsAddressLiteral(const std::string& host) {
    unsigned char address[16];
    return ::inet_pton(AF_INET, host.c_str(), address) == 1 || ::inet_pton(AF_INET6, host.c_str(), address) == 1;
}

// OpenSSL writes with write(2), which raises SIGPIPE on a connection the
// peer has closed and would end the whole program. While one exists, the
// signal is blocked for this thread, and one it raised is taken away again,
// so the call simply fails with EPIPE as a plain send(MSG_NOSIGNAL) does.
class SigpipeGuard {
public:
    SigpipeGuard() {
        sigemptyset(&m_pipe);
        sigaddset(&m_pipe, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        m_wasPending = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &m_pipe, &m_previous);
    }
    ~SigpipeGuard() {
        sigset_t pending;
        sigpending(&pending);
        if (!m_wasPending && sigismember(&pending, SIGPIPE) == 1) {
            timespec now{0, 0};
            sigtimedwait(&m_pipe, nullptr, &now);
        }
        pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
    }
    SigpipeGuard(const SigpipeGuard&) = delete;
    SigpipeGuard& operator=(const SigpipeGuard&) = delete;

private:
    sigset_t m_pipe;
    sigset_t m_previous;
    bool m_wasPending = false;
};

std::string LastErrorText() {
    unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (code == 0)
        return "unknown error";
    const char* reason = ERR_reason_error_string(code);
    return reason ? reason : "error " + std::to_string(code);
}

} // namespace

struct TlsChannel::State {
    SSL_CTX* context = nullptr;
    SSL* ssl = nullptr;

    ~State() {
        if (ssl)
            SSL_free(ssl);
        if (context)
            SSL_CTX_free(context);
    }

    [[noreturn]] void Fail(const char* what) {
        long verify = SSL_get_verify_result(ssl);
        if (verify != X509_V_OK) {
            ERR_clear_error();
            throw MailTransportError(std::string("certificate verify failed: ") +
                                     X509_verify_cert_error_string(verify));
        }
        throw MailTransportError(std::string(what) + LastErrorText());
    }

    // What an unfinished call waits for; raises for everything else.
    Want WantOf(int result, const char* what) {
        switch (SSL_get_error(ssl, result)) {
        case SSL_ERROR_WANT_READ:
            return Want::Read;
        case SSL_ERROR_WANT_WRITE:
            return Want::Write;
        case SSL_ERROR_ZERO_RETURN:
            throw MailTransportError("Connection Closed Gracefully.");
        case SSL_ERROR_SYSCALL:
            if (ERR_peek_error() == 0)
                throw MailTransportError("Connection Closed Gracefully.");
            [[fallthrough]];
        default:
            Fail(what);
        }
    }
};

TlsChannel::TlsChannel(int fd, const std::string& hostName) : m_state(std::make_unique<State>()) {
    ERR_clear_error();
    State& s = *m_state;
    s.context = SSL_CTX_new(TLS_client_method());
    if (!s.context)
        throw MailTransportError("TLS handshake failed: " + LastErrorText());
    SSL_CTX_set_min_proto_version(s.context, TLS1_2_VERSION);
    // Mail servers often close after QUIT without the closing alert; the
    // protocols end their own replies, so that is no truncation.
    SSL_CTX_set_options(s.context, SSL_OP_IGNORE_UNEXPECTED_EOF);
    SSL_CTX_set_verify(s.context, SSL_VERIFY_PEER, nullptr);
    if (SSL_CTX_set_default_verify_paths(s.context) != 1)
        throw MailTransportError("TLS handshake failed: " + LastErrorText());
    SSL_CTX_set_mode(s.context, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    s.ssl = SSL_new(s.context);
    if (!s.ssl || SSL_set_fd(s.ssl, fd) != 1)
        throw MailTransportError("TLS handshake failed: " + LastErrorText());
    // The name (or address) the user typed is the one the certificate must carry.
    X509_VERIFY_PARAM* check = SSL_get0_param(s.ssl);
    X509_VERIFY_PARAM_set_hostflags(check, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
    bool named = !IsAddressLiteral(hostName);
    bool checkSet = named ? X509_VERIFY_PARAM_set1_host(check, hostName.c_str(), hostName.size()) == 1
                          : X509_VERIFY_PARAM_set1_ip_asc(check, hostName.c_str()) == 1;
    if (!checkSet || (named && SSL_set_tlsext_host_name(s.ssl, hostName.c_str()) != 1))
        throw MailTransportError("TLS handshake failed: invalid host name " + hostName);
}

TlsChannel::~TlsChannel() = default;

TlsChannel::Want TlsChannel::Handshake() {
    SigpipeGuard guard;
    ERR_clear_error();
    int result = SSL_connect(m_state->ssl);
    if (result == 1)
        return Want::Nothing;
    return m_state->WantOf(result, "TLS handshake failed: ");
}

std::size_t TlsChannel::Read(char* data, std::size_t size, Want& want) {
    // A read may have to write too (a renegotiation, a closing alert).
    SigpipeGuard guard;
    ERR_clear_error();
    std::size_t done = 0;
    if (SSL_read_ex(m_state->ssl, data, size, &done) == 1) {
        want = Want::Nothing;
        return done;
    }
    want = m_state->WantOf(0, "TLS error: ");
    return 0;
}

std::size_t TlsChannel::Write(const char* data, std::size_t size, Want& want) {
    SigpipeGuard guard;
    ERR_clear_error();
    std::size_t done = 0;
    if (SSL_write_ex(m_state->ssl, data, size, &done) == 1) {
        want = Want::Nothing;
        return done;
    }
    want = m_state->WantOf(0, "TLS error: ");
    return 0;
}

void TlsChannel::Shutdown() {
    SigpipeGuard guard;
    ERR_clear_error();
    SSL_shutdown(m_state->ssl);
    ERR_clear_error();
}
