#pragma once

#include <string>

// The desktop's mail client: the Exec line of the desktop entry that the XDG
// "mimeapps.list" files name as default handler of x-scheme-handler/mailto,
// with its field codes (%u, %U, %f, ...) removed and "%%" read as "%".
// Empty when there is none. Only reads; never fails.
std::string DefaultMailClient();
