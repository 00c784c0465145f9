#pragma once

// How a mail connection is protected, as an account stores it ("POP3Security",
// "SMTPSecurity"): not at all, TLS from the first byte (POP3 on 995, SMTP on
// 465), or a plain connection upgraded with STLS / STARTTLS before the login.
enum class ConnectionSecurity : int { None = 0, Tls = 1, StartTls = 2 };
