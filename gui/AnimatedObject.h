#pragma once

namespace gui {

// Something the animator advances once per tick.
class AnimatedObject {
public:
    virtual ~AnimatedObject() = default;
    virtual void step() = 0;
};

}  // namespace gui
