#pragma once

#include "tools/lorimane-render/AudioFile.h"

// A few seconds of plucked notes and a drum hit, synthesised the same way every time, with gaps
// between the notes so that echoes are easy to hear. Its peak is kDemoPhrasePeak (-6 dBFS).
constexpr float kDemoPhrasePeak = 0.5011872f;
AudioBuffer makeDemoPhrase(double sampleRate);
