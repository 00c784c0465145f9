#pragma once

// The desktop program's entry: the single-instance rule (a second start
// hands "show the window", with the "email" switch "scan and open the mail
// client", or with the "exit" switch "end" to the running instance and waits
// until it has done so), then the data folder's lock, the start-up and the
// event loop. Returns the process's exit status.
int RunDesktopProgram(int argc, char** argv);
