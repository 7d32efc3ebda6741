#pragma once

#include <algorithm>
#include <vector>

#include "AudioThreadGuard.h"
#include "wave/Producer.h"

// The outputs of a graph run and what the audio thread did meanwhile.
struct GraphRun {
    std::vector<std::vector<float>> outputs;
    long allocations = 0;
    long locks = 0;

    // Runs n samples as the plug-in frame does: per block a new cycle, a pull of every producer,
    // then the closing pass. Only the cycles run inside the allocation guard.
    static GraphRun run(wave::Environment& env, std::vector<wave::Producer*> producers, long n, int block) {
        GraphRun result;
        result.outputs.assign(producers.size(), std::vector<float>(n));
        {
            AudioThreadGuard guard;
            for (long done = 0; done < n; done += block) {
                int k = static_cast<int>(std::min<long>(block, n - done));
                env.advanceCycle();
                for (size_t p = 0; p < producers.size(); ++p) {
                    const float* y = producers[p]->pull(k, 0);
                    std::copy(y, y + k, result.outputs[p].begin() + done);
                }
                env.process(k, 0);
            }
            result.allocations = guard.allocations();
            result.locks = guard.locks();
        }
        return result;
    }

    bool realTimeSafe() const { return allocations == 0 && (!AudioThreadGuard::countsLocks() || locks == 0); }
};
