#pragma once

#include <string>

// Compares text with a golden file kept beside its test. On a mismatch the failure shows the first
// lines that differ and how to regenerate the file deliberately: run the test with
// LORIMANE_UPDATE_GOLDEN=1, then review the diff before committing it.
void expectMatchesGolden(const std::string& actual, const std::string& goldenPath);
