#pragma once

#include "tools/lorimane-render/AudioFile.h"

// A few seconds of plucked notes and a drum hit, synthesised the same way every time, with gaps
// between the notes so that echoes are easy to hear.
AudioBuffer makeDemoPhrase(double sampleRate);
