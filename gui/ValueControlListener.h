#pragma once

namespace gui {

class ValueControl;

// What a value control tells the code that binds it to a parameter. [ui]
class ValueControlListener {
public:
    enum Phase { Begin = 0, Change = 1, End = 2 };

    virtual ~ValueControlListener() = default;
    // The largest change that the bound parameter's own linked parameters would make for delta.
    virtual int maxLinkedChange(ValueControl* control, int delta) = 0;
    virtual void valueEdited(ValueControl* control, int phase, int delta) = 0;
};

}  // namespace gui
