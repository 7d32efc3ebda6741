#pragma once

#include <string>

// Path and text helpers shared by the persistence code. Paths are UTF-8 strings with one separator
// (kPathSeparator); folder paths end with it. All functions are pure except createDirectories.
// Any thread.

inline constexpr char kPathSeparator = '/';

// Appends the separator unless the path is empty or already ends with one.
std::string addTrailingBackslash(const std::string& path);
// Removes one final separator if present.
std::string removeTrailingBackslash(const std::string& path);
// The text after the last separator; the whole path when there is none.
std::string lastPathComponent(const std::string& path);
// Removes everything from the last '.' on; unchanged when there is no '.'.
std::string stripExtension(const std::string& name);
// stripExtension of lastPathComponent.
std::string fileTitle(const std::string& path);
// Creates the directory and any missing parents; true when the directory exists afterwards because
// it already did or because its creation succeeded.
bool createDirectories(const std::string& path);

// Conversions between UTF-8 and UTF-16. Text stays UTF-8 inside the system; these serve the few
// places that exchange UTF-16 (stored names written by other platforms). Malformed sequences become
// U+FFFD.
std::u16string utf8ToWide(const std::string& text);
std::string wideToUtf8(const std::u16string& text);
