#pragma once

// Engine mappings shared by many continuous parameters. Each curve comes with its inverse; x is the
// parameter's plain value, usually in 0..1. All functions are pure and may be called on any thread.
namespace tapers {

// Odd-symmetric loudness-like curve: gentle near 0, steep towards 1; 1 beyond 1.
float level(float x);
float levelInverse(float y);

// Curve for envelope times: fine resolution for short times.
float envelopeTime(float x);
float envelopeTimeInverse(float y);

// Very steep curve: most of the travel covers the lowest tenth of a percent of the range.
float steep(float x);
float steepInverse(float y);

// Gain over a 36 dB range above 0.1, fading linearly to silence below -32.4 dB.
float gain(float x);
float gainInverse(float g);

// 10^(x / 20).
float decibelToRatio(float x);
// 20 log10 (x), never below -180 (x at or below 1e-10 gives -180).
float ratioToDecibel(float x);

float octaveToSemitone(float x);
float semitoneToOctave(float x);

float exponentOfTwo(float x);   // 2^x
float logarithmOfTwo(float x);  // log2 x

float identity(float x);

}  // namespace tapers
