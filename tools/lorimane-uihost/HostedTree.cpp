#include "HostedTree.h"

std::vector<HostedTree>& hostedTrees() {
    static std::vector<HostedTree> trees;
    return trees;
}
