#pragma once

#include <memory>
#include <string>

#include "gui/Bitmap.h"
#include "gui/Component.h"
#include "gui/Rgba.h"
#include "gui/RolloverValueControl.h"
#include "gui/Text.h"
#include "platform/IntervalTimer.h"

namespace gui {

class PopupMenu;

// A button drawn from pictures: a background for each of its three looks (normal, hovered,
// pressed), an icon for each on state, and a label image or a text. It may toggle its on state,
// toggle only while held (momentary), or open a menu when pressed. [ui]
class Button : public RolloverValueControl {
public:
    enum VisualState { Normal = 0, Hovered = 1, Pressed = 2 };
    enum Alignment { Left = 0, Centred = 1, Right = 2 };
    // A momentary button held longer than this switches off again at the release.
    static constexpr int kHoldMs = 500;

    class Style : public Component {
    public:
        explicit Style(UserInterface* ui) : Component(ui) {}

        int width = 0;
        int height = 0;
        // Not owned: normal, hovered, pressed.
        const Bitmap* background[3] = {nullptr, nullptr, nullptr};
        // Not owned: off, on.
        const Bitmap* icon[2] = {nullptr, nullptr};
        int iconAlignment = Centred;
        int iconMargin = 0;
        int iconIdleOpacity = 255;
        bool iconStretch = false;
        int textAlignment = Centred;
        Rgba textColour{0, 0, 0, 255};
        int textIdleOpacity = 255;
        int textOffsetX = 0;
        int textOffsetY = 0;
        int hitInset = 0;
    };

    explicit Button(UserInterface* ui, const Style* style = nullptr);
    ~Button() override;

    Property<int> iconAlignment{this, Centred};
    Property<int> iconMargin{this, 0};
    LimitedProperty<int> iconIdleOpacity{this, 255, 0, 255};
    Property<bool> iconStretch{this, false};
    Property<int> textAlignment{this, Centred};
    Property<Rgba> textColour{this, Rgba{0, 0, 0, 255}};
    LimitedProperty<int> textIdleOpacity{this, 255, 0, 255};
    Property<int> textOffsetX{this, 0};
    Property<int> textOffsetY{this, 0};
    Property<int> hitInset{this, 0};
    Property<bool> on{this, false};

    bool toggles = false;
    bool momentary = false;
    bool keepPressedOutside = false;
    // Shown below the button when it is pressed; not owned.
    PopupMenu* popupMenu = nullptr;
    // Replaces the text when set; not owned.
    const Bitmap* labelImage = nullptr;
    // Replace the style's icons when set (off, on); not owned.
    const Bitmap* iconOverride[2] = {nullptr, nullptr};
    // Draws the background unstretched at the image offset (a button showing part of a picture).
    bool freeLayout = false;
    Point imageOffset;
    int textMargin = 6;

    void propertyChanged(AbstractProperty* property) override;
    void dragStateChanged(int state) override;
    Rect getLocalBounds() const override;
    void paintInState(Canvas& canvas, int state) override;
    void mouseDown(int button, Point point, int flags) override;
    void mouseEntered() override;
    void mouseExited() override;
    void mouseMove(Point point, int flags) override;
    void mouseUp(int button, Point point, int flags) override;
    void paint(Canvas& canvas) override;

    Text& text() { return *text_; }
    void setText(const std::string& text);
    const Style& style() const { return *style_; }
    int visualState() const { return visualState_; }

protected:
    // The user changed the on state (a toggle, a momentary press or its release).
    virtual void setOnByUser(bool state);
    // The menu a press opens, if any.
    virtual PopupMenu* menuForPress() { return popupMenu; }
    void setVisualState(int state);
    // Whether the point counts as over the button.
    bool isOver(Point point) const;
    void paintBackground(Canvas& canvas);
    void paintForeground(Canvas& canvas, int state, int level);
    // The icon for the on state; a level bar draws its bar here instead.
    virtual void paintIcon(Canvas& canvas, int level, int shift);
    // Ends a press as if released away from the button.
    void abandonPress() { mouseUp(0, {-1, -1}, 0); }
    static int fadedOpacity(int idle, int level) { return idle + (255 - idle) * level / 255; }

private:
    void copyStyle(const Style& style);
    void textChanged(void*);
    void showMenu(PopupMenu& menu);

    std::unique_ptr<Style> ownStyle_;
    const Style* style_;
    std::unique_ptr<Text> text_;
    int visualState_ = Normal;
    std::unique_ptr<IntervalTimer> holdTimer_;
    bool pressed_ = false;
    bool heldOn_ = false;
};

}  // namespace gui
