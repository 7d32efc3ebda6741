#pragma once

#include <memory>
#include <string>

#include "gui/Label.h"

class IntervalTimer;
class ParameterEditor;
class ParameterWatcher;

namespace gui {
class Bitmap;
class Timer;
}

// A number that shows one float parameter in display units and edits it: dragging up or down
// steps the display value, a double-click types it, and a quick click arms tap tempo, after which
// the next press within five seconds sets the time between the two presses, in milliseconds. [ui]
class FloatValueLabel : public gui::Label {
public:
    static constexpr int kTapArmMs = 250;
    static constexpr int kTapTimeoutMs = 5000;
    static constexpr const char* kTapText = "TAP";

    FloatValueLabel(gui::UserInterface* ui, ParameterEditor& editor);
    ~FloatValueLabel() override;

    int decimals = 1;
    // Display units per two pixels of movement, and with Shift held.
    float step = 1.0f;
    float fineStep = 0.1f;
    bool showPlus = false;
    // The picture behind "TAP"; -1 turns tap tempo off (a double-click then types a value).
    int tapImageIndex = 1;
    const gui::Bitmap* tapImage = nullptr;

    // -1 unbinds.
    void bind(int parameterIndex);
    int boundParameter() const { return index_; }
    bool isTapArmed() const { return tapState_; }
    bool isDragging() const { return dragging_; }
    // Shows the parameter's value (or the dragged one).
    void refreshText();

    void propertyChanged(AbstractProperty* property) override;
    void mouseDown(int button, gui::Point point, int flags) override;
    void mouseMove(gui::Point point, int flags) override;
    void mouseUp(int button, gui::Point point, int flags) override;
    void paint(gui::Canvas& canvas) override;

private:
    bool tapEnabled() const { return tapImageIndex >= 0; }
    std::string format(float display) const;
    void setTap(bool on);
    void tapExpired(void*);
    void textEdited(void*);
    // Sets the parameter from a display value, clamped to its range, in one gesture unless one runs.
    void setDisplay(float display);

    ParameterEditor& editor_;
    int index_ = -1;
    ParameterWatcher* watcher_ = nullptr;
    gui::Timer* tapTimer_ = nullptr;
    std::unique_ptr<IntervalTimer> sincePress_;
    bool tapState_ = false;
    bool dragging_ = false;
    bool dragChanged_ = false;
    int referenceY_ = 0;
    float dragged_ = 0.0f;
};
