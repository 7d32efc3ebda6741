#pragma once

#include <vector>

#include "framework/GenericPlugin.h"

// Where each parameter sits among the plug-in's LV2 control ports, and which controls hosts should
// not offer for automation. Hosts cap the controls they automate (Ardour takes the first 512 it may
// automate), so the controls people automate come first and the XLFO step tables last, and the
// selectors nobody automates are marked not automatic, which keeps them out of that count.
// Saved states and presets name ports by symbol, never by index, so the order can change between
// versions (with the plug-in's minor version).
class Lv2PortLayout {
public:
    // [any] From the plug-in's parameter list as constructed.
    explicit Lv2PortLayout(GenericPlugin& plugin);

    // The parameter behind each control port, in port order.
    const std::vector<int>& parameters() const { return parameters_; }

    // Selectors nobody automates: what a slot or source listens to, how many members of a list are
    // active, controller numbers, the shape switches of the step tables.
    static bool notAutomatic(const AbstractPluginParameter& p);

    // Counts every change of the order; it moves the plug-in's LV2 minor version on.
    static constexpr int kRevision = 1;

private:
    std::vector<int> parameters_;
};
