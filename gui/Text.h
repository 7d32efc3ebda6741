#pragma once

#include <string>

#include "core/NotifyEvent.h"
#include "core/Property.h"
#include "gui/Rgba.h"
#include "gui/UpdatedObject.h"

namespace gui {

class Bitmap;

// A piece of text with its font and layout settings. The toolkit core reads the settings (the
// text editor takes its text, font and wrap mode from here and writes the result back); measuring
// and rendering belong to the variant the user interface creates.
class Text : public UpdatedObject, public PropertyOwner {
public:
    enum WrapMode { SingleLine = 0, Ellipsis = 1, WordWrap = 2 };

    Text() = default;

    Property<bool> bold{this, false};
    Property<Rgba> colour{this, Rgba{0, 0, 0, 255}};
    Property<std::string> fontName{this};
    Property<bool> italic{this, false};
    Property<int> wrapMode{this, SingleLine};
    Property<int> maximumWidth{this, 0};
    Property<int> size{this, 8};
    Property<std::string> text{this};
    Property<bool> underline{this, false};

    NotifyEvent changeEvent;

    // Render and measure when needed. UI thread.
    virtual const Bitmap* getBitmap() = 0;
    virtual int getWidth() = 0;
    virtual int getHeight() = 0;

    // Every setting change makes the cached rendering stale.
    void propertyChanged(AbstractProperty*) override {
        invalidateRendering();
        changeEvent.fire(this);
    }

protected:
    virtual void invalidateRendering() {}
};

}  // namespace gui
