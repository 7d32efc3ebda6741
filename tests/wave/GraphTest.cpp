#include <gtest/gtest.h>

#include "AudioThreadGuard.h"
#include "wave/Environment.h"
#include "wave/Input.h"

TEST(Placeholder, Builds) {
    wave::Environment env(128);
    wave::Input in(env);
    AudioThreadGuard g;
    in.pull(4, 0);
    EXPECT_EQ(g.allocations(), 0);
}
