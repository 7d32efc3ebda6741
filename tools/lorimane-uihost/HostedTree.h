#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace gui {
class WindowInterface;
}

// A toolkit tree the host can show: built into the root control of a fresh window of the given
// size. What build returns (pictures, animators the controls use) is kept until just before the
// window closes. Trees register themselves from their own source file with a static HostedTreeRegistration,
// so a gallery joins the program by adding its file to the target.
struct HostedTree {
    std::string name;
    std::string description;
    int width = 400;
    int height = 300;
    std::function<std::shared_ptr<void>(gui::WindowInterface&)> build;
};

std::vector<HostedTree>& hostedTrees();

struct HostedTreeRegistration {
    explicit HostedTreeRegistration(HostedTree tree) { hostedTrees().push_back(std::move(tree)); }
};
