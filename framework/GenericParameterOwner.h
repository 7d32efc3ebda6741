#pragma once

#include <string>

class AbstractPluginParameter;

// Flags of setValue and parameterChanged.
enum ParameterChangeFlags : int {
    FromHost = 1,  // the change comes from the host itself and is not echoed back to it
};

// The interface through which a parameter talks to whoever owns it: a parameter set or the plug-in.
class GenericParameterOwner {
public:
    virtual ~GenericParameterOwner() = default;

    // Any thread. Opens a batch: notifications are held back until the matching endUpdate.
    virtual void beginUpdate() = 0;
    // Any thread. Closing the outermost batch sends one notification for all held-back changes.
    virtual void endUpdate() = 0;
    virtual AbstractPluginParameter* getParameter(int index) = 0;
    virtual int groupIndex() = 0;
    virtual int getParameterCount() = 0;
    // Any thread: a parameter's value changed.
    virtual void parameterChanged(int index, float value, int flags) = 0;
    // Construction: appends a parameter and answers its global index.
    virtual int addParameter(AbstractPluginParameter* parameter) = 0;
    virtual int registerGroup(const std::string& name) = 0;
};
