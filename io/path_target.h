#pragma once
// What a path names on disk, for the writers that must not replace a device
// or a link (atomic_file) and for the tools that must not write over their
// own inputs.
#include <string>

// The folder part of a path: "." for a bare name, "/" for a file at the root.
std::string folder_of(const std::string& path);

// The file that a chain of symbolic links ends at, or `path` itself when it is
// no link. The file need not exist: a dangling link names the file to create.
// A relative link is taken from the link's own folder.
std::string follow_links(std::string path);

// Whether `path` (through links) is an existing file that is neither a regular
// file nor a folder: a device, a FIFO, a terminal, a socket. Such a file is
// written in place, as a stream.
bool names_stream(const std::string& path);

// Whether two paths reach the same file: the same device and inode when both
// exist (whatever links or spellings lead there), the same path with every
// link followed and every "." and ".." resolved when neither exists.
bool same_file(const std::string& a, const std::string& b);
