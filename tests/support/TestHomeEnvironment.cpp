// Every test binary runs with HOME and the XDG folders pointing into a fresh temporary folder, set
// while the binary's static objects are built (before main, so before any test or fixture runs) and
// removed when the binary exits. No test can read or change the user's settings, presets or
// documents, even one that forgets its own temporary home.

#include <cstdlib>

#include "persistence/TemporaryHome.h"

namespace {

class TestHomeEnvironment {
public:
    TestHomeEnvironment() {
        if (!home_.ok()) std::abort();  // never fall back to the real home
    }

private:
    TemporaryHome home_{"lorimane-test-home", {.createFolders = true}};
};

// Built first among this file's statics; other translation units that need the home at static
// initialisation read it lazily.
const TestHomeEnvironment environment;

}  // namespace
