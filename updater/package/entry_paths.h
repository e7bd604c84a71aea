// Where the entries of a package are restored, and the names of its further volumes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace torvik::package {

// The output path of a stored entry name (Windows-1252 bytes, or UTF-8 when valid;
// '\' and '/' separate folders). With full paths off it is the target folder followed by
// the name's file-name part; with full paths on, the target folder followed by the name
// without its drive: "C:\Dados\x.dll" gives T + "x.dll" or T + "Dados/x.dll". The target
// folder is "" (the current folder) or ends with '/'.
//
// Nothing when the name could lead out of the folder or names no file: a path that is
// absolute once the drive is dropped, a ".." segment, an empty file-name part, "." or
// "..", a NUL byte. Such entries are never written.
std::optional<std::string> RestorePath(std::string_view storedName, std::string_view targetFolder, bool fullPaths);

// The package file name with its extension replaced by "." + disk ("a.pkg" and "002"
// give "a.002"); a name without extension gets one.
std::string VolumeFileName(std::string_view packageFile, std::string_view disk);

// A name (UTF-8) as a package stores it: in Windows-1252 when that code page holds it
// and the bytes read back as the same text, otherwise in UTF-8.
std::string StoredName(std::string_view text);

// The folder part of a path, without its trailing '/' ("" for a bare name).
std::string FolderOf(std::string_view path);

}  // namespace torvik::package
