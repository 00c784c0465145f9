#pragma once

#include <string>

// The desktop's mail client: the Exec line of the desktop entry that the XDG
// "mimeapps.list" files name as default handler of x-scheme-handler/mailto,
// with its field codes (%u, %U, %f, ...) removed and "%%" read as "%".
// Empty when there is none. Only reads; never fails.
std::string DefaultMailClient();

// The Icon value (a theme icon name or a file path) of the first desktop
// entry in the XDG application folders whose Exec starts program (compared by
// file name, so "/usr/bin/thunderbird" matches "Exec=thunderbird %u").
// Empty when none does. Only reads; never fails.
std::string MailClientIconName(const std::string& program);
