#pragma once
// Opening a file that the program loads (a pattern file, a session). Only a
// regular file is read: a FIFO or a terminal would keep the program waiting
// for bytes that may never come, deaf to the user, and a device such as
// /dev/zero never ends. Anything else is refused at once, before any read.
#include <string>

// The open descriptor (close-on-exec, blocking reads), or -1 with a one-line
// reason in `error`: "cannot open PATH: No such file or directory", "cannot
// read PATH: Is a directory", "cannot read PATH: not a regular file (a FIFO)".
int open_regular_file(const std::string& path, std::string& error);
