#pragma once

#include <string>

class Account;

// The text with every non-empty password of the account (POP3 and SMTP, in
// clear and in the Base64 form AUTH LOGIN sends) replaced by "********".
// Error texts come from servers, which may echo what they were sent; they
// pass through here before they reach the scan log, the details or a box.
std::string WithoutPasswords(std::string text, const Account& account);
