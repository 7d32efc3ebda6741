#pragma once

#include <array>
#include <vector>

#include "gui/Control.h"
#include "gui/Curve.h"
#include "gui/Switch.h"
#include "gui/Text.h"

class ParameterEditor;

// The envelope display: the envelope drawn from its six settings, with a dot at the end of each
// stage that drags the stage's time (or, for the sustain, its level). [ui]
class EGController : public gui::Control {
public:
    enum Place { Delay = 0, Attack = 1, Decay = 2, Sustain = 3, Hold = 4, Release = 5, PlaceCount = 6 };
    static constexpr int kRange = 1000;
    // The width of the sustain plateau, in stages.
    static constexpr float kPlateau = 0.5f;
    static constexpr int kMarginLeft = 14, kMarginTop = 8, kMarginRight = 10, kMarginBottom = 8;

    // A dot on the envelope; times move sideways, the sustain level up and down.
    class Dot : public gui::Switch {
    public:
        static constexpr int kSize = 12;
        Dot(gui::UserInterface* ui, EGController& owner, int place);

        int place() const { return place_; }
        void valueRangeChanged(AbstractProperty* property) override;
        void mouseDown(int button, gui::Point point, int flags) override;
        void mouseMove(gui::Point point, int flags) override;
        void mouseUp(int button, gui::Point point, int flags) override;
        void mouseEntered() override;
        void mouseExited() override;
        void paint(gui::Canvas& canvas) override;

    private:
        EGController& owner_;
        int place_;
        bool dragging_ = false;
        bool hover_ = false;
        gui::Point press_;
        int pressValue_ = 0;
    };

    // The envelope in the display's pixels: attack, decay and release as cubic segments.
    class Envelope : public gui::Curve {
    public:
        float value(float x) const override;
        std::array<float, 6> x{};  // the ends of delay, attack, decay, sustain (hold start), hold, release
        float top = 0, bottom = 0, sustain = 0;
        gui::CubicSegment attack, decay, release;
    };

    EGController(gui::UserInterface* ui, ParameterEditor& editor);
    ~EGController() override;

    // Binds the place's dot (created on first use) to the parameter; -1 unbinds it.
    void bindSlider(int place, int parameter, int target = -1);
    void unbindAll();
    Dot* dot(int place) const { return dots_[std::size_t(place)]; }
    bool canDraw() const;
    // Where each dot stands, from the bound values.
    void layout();
    const Envelope& envelope() const { return envelope_; }
    gui::Rect plot() const;

    void resized() override;
    void paint(gui::Canvas& canvas) override;

private:
    double normalized(int place) const;

    ParameterEditor& editor_;
    std::array<Dot*, PlaceCount> dots_{};
    std::array<int, PlaceCount> bound_{-1, -1, -1, -1, -1, -1};
    std::array<int, PlaceCount> targets_{-1, -1, -1, -1, -1, -1};
    Envelope envelope_;
    gui::Text one_, zero_;
};
