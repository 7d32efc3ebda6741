#pragma once

#include <array>
#include <cmath>
#include <memory>
#include <vector>

#include "gui/Curve.h"
#include "gui/Text.h"
#include "interface/filter/FilterResponse.h"
#include "interface/filter/FrequencyDisplay.h"

class ParameterEditor;

namespace gui {
class Bitmap;
}

// A frequency display with the filters as draggable dots: frequency left to right, peak upward
// from the middle of the display. Each dot draws the magnitude response of the engine's filter at
// its settings (with two faint copies spread by its pan). Ctrl-click cycles a dot's response,
// Shift-click its slope; a drag moves a dot, with Alt all linked dots, with Alt+Ctrl the others
// mirrored through the link point (the dots' average). Every change is an edit gesture through the
// editor. [ui]
class FilterController : public FrequencyDisplay {
public:
    // One dot with its parameters and its drawn response.
    class Curve {
    public:
        // The drawn response: y in control coordinates for every column of the plot, read with
        // linear interpolation.
        class FilterCurve : public gui::Curve {
        public:
            float value(float x) const override;
            std::vector<float> columns;  // y at x = origin + i
            float origin = 0.0f;
        };

        float x = 1.0f;  // normalised frequency
        float y = 0.0f;  // normalised peak
        bool enabled = true;
        int response = 0;
        int slope = 1;
        float pan = 0.0f;  // octaves
        int characteristic = 0;
        // Parameter indices, -1 when missing: frequency, peak, response, slope, enabled, pan,
        // characteristic.
        int frequencyIndex = -1, peakIndex = -1, responseIndex = -1, slopeIndex = -1, enabledIndex = -1,
            panIndex = -1, characteristicIndex = -1;

        // Geometry, recomputed on resize and value changes.
        float centreX = 0.0f, centreY = 0.0f;
        FilterCurve curve;
        // The settings the curve was computed for; a change recomputes it.
        FilterResponse::Setting computedFor{-1.0f, -1.0f, -1, -1, -1};
        // And the drawing scale: plot columns, control height, border, level at the top.
        std::array<float, 4> computedScale{};
        // Captured at the start of a drag or a change of mode: position (plot pixels), distance and
        // angle (turns) from the link point.
        float startX = 0.0f, startY = 0.0f, startDistance = 0.0f, startAngle = 0.0f;
    };

    explicit FilterController(gui::UserInterface* ui, ParameterEditor* editor = nullptr);
    ~FilterController() override;

    gui::Rgba activeFill{128, 128, 128, 196};
    gui::Rgba inactiveFill{128, 128, 128, 128};
    gui::Rgba lineColour{255, 255, 255, 255};
    gui::Rgba panColour1{255, 255, 255, 65};
    gui::Rgba panColour2{255, 0, 0, 65};
    int maxDotsShown = 1;
    // The share of the height the peak axis uses; the response's 0 dB lies at its bottom.
    float verticalFraction = 0.5f;
    // Where a curve's shading has faded out, as a share of the height from the top.
    float fillFadeEnd = 1.0f;
    // The level drawn at the top of the plot; the same scale continues below 0 dB.
    float topDecibels = 24.0f;

    // Not owned; a controller without dot images draws and grabs no dots.
    const gui::Bitmap* dotImage = nullptr;
    const gui::Bitmap* activeDotImage = nullptr;
    const gui::Bitmap* linkImage = nullptr;
    const gui::Bitmap* activeLinkImage = nullptr;

    void setEditor(ParameterEditor* editor) { editor_ = editor; }
    // Adds a dot bound to these parameters (-1 for a missing one) and reads its values.
    void addDot(int frequency, int peak, int response, int slope, int enabled, int pan, int characteristic = -1);
    // Every dot not being dragged rereads its parameters.
    void refreshDots();
    // The rate the response curves are computed for.
    void setSampleRate(float rate);

    int dotCount() const { return static_cast<int>(dots_.size()); }
    const Curve& dot(int i) const { return *dots_[i]; }
    int activeMask() const { return activeMask_; }
    int grabbedDot() const { return grabbed_; }
    int linkMask() const { return linkMask_; }
    gui::Point linkPoint() const { return {int(std::lround(linkX_)), int(std::lround(linkY_))}; }
    // The plot: width and peak height in pixels.
    int plotWidth() const { return width() - 2 * border; }
    int peakHeight() const { return int(float(height()) * verticalFraction) - border; }
    // The y a level in dB is drawn at.
    float yForDecibels(float dB) const;

    void mouseDown(int button, gui::Point point, int flags) override;
    void mouseMove(gui::Point point, int flags) override;
    void mouseUp(int button, gui::Point point, int flags) override;
    void mouseExited() override;
    void cancelMouse() override;
    void resized() override;
    void paint(gui::Canvas& canvas) override;

private:
    bool dotsDrawn() const { return dotImage != nullptr; }
    int shownDots() const { return std::min<int>(maxDotsShown, static_cast<int>(dots_.size())); }
    void readDot(Curve& dot);
    void placeDot(Curve& dot);
    void updateCurve(Curve& dot);
    void updateLink();
    bool hitsImage(const gui::Bitmap* image, float cx, float cy, gui::Point point) const;
    bool hitsLink(gui::Point point) const;
    void highlight(gui::Point point, int flags);
    void setActiveMask(int mask);
    void capture();
    void evaluateMode(int flags);
    void beginDotEdits(int mask);
    void endDotEdits(int mask);
    void moveDotTo(Curve& dot, float px, float py);
    void setParameter(int index, float normalized);
    void endDrag();

    ParameterEditor* editor_;
    std::vector<std::unique_ptr<Curve>> dots_;
    std::unique_ptr<FilterResponse> response_;
    int activeMask_ = 0;
    int grabbed_ = -1;
    gui::Point pressPoint_;
    gui::Point dragOffset_;
    gui::Point captureOffset_;
    bool dragging_ = false;
    bool handled_ = false;
    int handledIndex_ = -1;
    bool opposite_ = false;
    int linkMask_ = 0;
    int linkCount_ = 0;
    float linkX_ = 0.0f, linkY_ = 0.0f;
    // The link point at the last capture (plot pixels).
    float capturedLinkX_ = 0.0f, capturedLinkY_ = 0.0f;
    gui::Text numberText_;
};
