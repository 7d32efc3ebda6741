#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// The preset tool's command line:
//   lorimane-preset show FILE       one "index TAB name TAB text" line per parameter the file sets,
//                                   after the conversion a load performs
//   lorimane-preset convert IN OUT  writes IN with the current version, every value kept
// Errors print one line on the error stream and answer 2; nothing is written then.
int presetCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
