#pragma once

// What starts an envelope generator: the level of the plug-in's input, of its side-chain input, or
// MIDI notes.
enum Triggering { NormalInput = 0, SideChain = 1, Midi = 2 };
