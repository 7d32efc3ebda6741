#pragma once

#include "gui/SelectButton.h"

class GenericPlugin;

// The audition select of the bottom bar: its "Side Chain" item can be chosen only while the
// plug-in has a side-chain input connected. [ui]
class AuditionButton : public gui::SelectButton {
public:
    static constexpr int kSideChainItem = 2;

    AuditionButton(gui::UserInterface* ui, GenericPlugin& plugin, const gui::Button::Style* style);

    bool sideChainAvailable() const;

protected:
    gui::PopupMenu* menuForPress() override;

private:
    GenericPlugin& plugin_;
};
