#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/NotifyEvent.h"
#include "core/Property.h"
#include "gui/Bitmap.h"
#include "gui/Rgba.h"
#include "gui/UpdatedObject.h"

namespace gui {

class Font;

// A piece of text with its font and layout settings, measured and rendered through the font
// engine when asked: drawn black on white into a coverage mask, then tinted with the colour.
// UI thread (or the render thread under the root control's lock).
class Text : public UpdatedObject, public PropertyOwner {
public:
    enum WrapMode { SingleLine = 0, Ellipsis = 1, WordWrap = 2 };
    enum CacheState { UpToDate = 0, Measured = 1, Dirty = 2 };

    Text() = default;
    ~Text() override;

    Property<bool> bold{this, false};
    Property<Rgba> colour{this, Rgba{0, 0, 0, 255}};
    // Empty: the default face.
    Property<std::string> fontName{this};
    Property<bool> italic{this, false};
    Property<int> wrapMode{this, SingleLine};
    // 0: no limit.
    Property<int> maximumWidth{this, 0};
    // Points at 96 dpi.
    Property<int> size{this, 8};
    Property<std::string> text{this};
    Property<bool> underline{this, false};

    NotifyEvent changeEvent;

    // Render and measure when needed.
    virtual const Bitmap* getBitmap();
    virtual int getWidth();
    virtual int getHeight();

    int cacheState() const { return state_; }
    // The lines as laid out (after ellipsis or wrapping), for callers that place a caret.
    const std::vector<std::string>& lines();

    // Every setting change makes the cached rendering stale.
    void propertyChanged(AbstractProperty*) override {
        invalidateRendering();
        changeEvent.fire(this);
    }

    static constexpr const char* kDefaultFace = "Tahoma";

protected:
    virtual void invalidateRendering() { state_ = Dirty; }

private:
    std::shared_ptr<Font> createFont() const;
    void measure();
    void render();

    int state_ = Dirty;
    int width_ = 0;
    int height_ = 0;
    std::vector<std::string> lines_;
    Bitmap bitmap_;
};

}  // namespace gui
