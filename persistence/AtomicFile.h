#pragma once

#include <string>
#include <string_view>

// Writes a whole file so that readers see either the old content or the new one, never a part: the
// bytes go to a temporary file beside the target, which is flushed to disk and then renamed over it.
// On any failure the temporary file is removed and the target is left as it was. Any thread.
bool writeFileAtomically(const std::string& path, std::string_view bytes);

// Reads a whole file; false when it cannot be opened or read. At most maxBytes are accepted, so a
// caller that knows its format's limit never allocates for a larger file. Any thread.
bool readWholeFile(const std::string& path, std::string& bytes, std::size_t maxBytes);
