#pragma once

#include <string>

// Where Windows programs run by Wine keep their files, and how the Windows
// paths found in their registry are reached from here.

// $WINEPREFIX when set, else ~/.wine; without a trailing delimiter.
std::string WinePrefixFolder();

// True for a path that starts with a drive letter and ':' ("C:\dir", "d:").
bool IsWindowsDrivePath(const std::string& path);

// Maps a Windows path into the local file system:
// - "X:\a\b" goes through the prefix's "dosdevices/x:" link, the way Wine
//   itself finds its drives; without that link drive C falls back to the
//   prefix's "drive_c" and any other drive cannot be mapped;
// - a relative path ("a\b") keeps its place relative to the current folder;
// - a path on no drive ("\a", "\\server\share") cannot be mapped.
// "\" becomes "/", a trailing "\" stays a trailing "/". Each folder or file
// name that does not exist as written is matched without regard to letter
// case, as Windows programs expect. Returns "" for a path it cannot map.
std::string MapWindowsPath(const std::string& windowsPath);
