#pragma once

#include <string>

class Account;

// The account's own address: a valid EmailAddress; else a Login holding "@";
// else Login + "@" + DomainOfHost(Server) when that is not empty; else the
// EmailAddress as it is.
std::string EffectiveAddress(const Account& account);

// The host's last two labels ("pop.mail.example.com" gives "example.com");
// a host with one full stop or none unchanged.
std::string DomainOfHost(const std::string& host);
