#pragma once

#include <vector>

#include "gui/Button.h"
#include "gui/Control.h"

class SourceController;
class SourceInterface;

namespace gui {
class Timer;
}

// The map of the source strip above it: a button per source panel (its level shown live), the
// selector marking the visible part, and the Add Source button. Clicking a button or hovering it
// during a drag brings its panel into view; dragging the selector scrolls the strip. [ui]
class SourceSelectionBar : public gui::Control {
public:
    static constexpr const char* kHint =
        "The source bar displays a map of modulation sources. Click a source button to scroll its source into view, "
        "or drag the selector to scroll the source strip.";
    static constexpr const char* kAddSourceHint =
        "The Add Source button creates a new modulation source. Choose its kind in the menu; Sort Slots puts the "
        "slots in the order of their sources and targets.";
    static constexpr int kLevelFrameMs = 40;
    static constexpr int kAddWidth = 84;

    // One source panel on the map.
    class SourceButton : public gui::Button {
    public:
        SourceButton(gui::UserInterface* ui, SourceSelectionBar& bar, const gui::Button::Style* style);
        void setInterface(SourceInterface* shown) { interface_ = shown; }
        SourceInterface* sourceInterface() const { return interface_; }
        // 0..255 from the largest display value of the panel's sources.
        int levelOpacity() const;
        void clicked() override;
        void paint(gui::Canvas& canvas) override;

    private:
        SourceSelectionBar& bar_;
        SourceInterface* interface_ = nullptr;
    };

    SourceSelectionBar(gui::UserInterface* ui, SourceController& controller);
    ~SourceSelectionBar() override;

    // Follows the panels and the strip's position.
    void refresh();
    gui::Button* addSourceButton() const { return add_; }
    const std::vector<SourceButton*>& buttons() const { return buttons_; }
    gui::Rect selectorRect() const;
    SourceController& controller() const { return controller_; }

    void mouseDown(int button, gui::Point point, int flags) override;
    void mouseMove(gui::Point point, int flags) override;
    void mouseUp(int button, gui::Point point, int flags) override;
    void paint(gui::Canvas& canvas) override;
    void resized() override;

private:
    int mapWidth() const;
    float scale() const;
    void frame(void*);
    void scrolled(void*);

    SourceController& controller_;
    gui::Button* add_ = nullptr;
    std::vector<SourceButton*> buttons_;
    gui::Timer* timer_ = nullptr;
    gui::Point press_;
    bool pressed_ = false;
    bool dragging_ = false;
    float pressPosition_ = 0.0f;
};
