#pragma once

// The editor side of an effect: the host creates a GUI object through the effect's GUI procedure,
// attaches it to the instance's parameters object, and hands it a view container to draw in. The
// container is the host's window for the editor; through it the editor asks for a size, reads the
// host's modifier keys and offers clicks on parameter controls to the host.

#include <cstdint>

#include "host/aax/sdk/AAX_Types.h"

class AAX_CEffectParameters;
class AAX_IController;

// A size or position: vertical first, as the host interface orders them.
struct AAX_Point {
    float vert = 0.0f;
    float horz = 0.0f;
};

// What the container's pointer is. On this platform a native window handle is an X window id.
enum AAX_EViewContainer_Type : int32_t {
    AAX_eViewContainer_Type_NULL = 0,
    AAX_eViewContainer_Type_NSView = 1,
    AAX_eViewContainer_Type_UIView = 2,
    AAX_eViewContainer_Type_HWND = 3,
};

// The host's modifier keys, as GetModifiers and HandleParameterMouseDown carry them.
enum AAX_EModifiers : uint32_t {
    AAX_eModifiers_None = 0,
    AAX_eModifiers_Shift = 1u << 0,
    AAX_eModifiers_Control = 1u << 1,  // the host's own modifier (the system key here)
    AAX_eModifiers_Option = 1u << 2,   // Alt
    AAX_eModifiers_Command = 1u << 3,  // Ctrl
};

// The host's window for an editor. [ui]
class AAX_IViewContainer {
public:
    virtual ~AAX_IViewContainer() = default;
    virtual int32_t GetType() = 0;
    virtual void* GetPtr() = 0;
    virtual AAX_Result GetModifiers(uint32_t* modifiers) = 0;
    // Asks the host to resize the editor's window; AAX_SUCCESS when it did.
    virtual AAX_Result SetViewSize(AAX_Point& size) = 0;
    // Offers a press on a parameter's control to the host; AAX_SUCCESS when the host handled it
    // (the editor then ignores the press), anything else hands it back.
    virtual AAX_Result HandleParameterMouseDown(const AAX_CParamID& id, uint32_t modifiers) = 0;
};

// Base of an effect's editor. The host calls, in this order: Initialize (the editor finds its
// instance), SetViewContainer with a container (the editor builds its view), periodically
// TimerWakeup, SetViewContainer with null (the view goes), Uninitialize, and deletes the object.
// Every call is [ui], on the host's user-interface thread.
class AAX_CEffectGUI {
public:
    virtual ~AAX_CEffectGUI() = default;

    AAX_Result Initialize(AAX_CEffectParameters* parameters, AAX_IController* controller);
    // Withdraws any container still set.
    AAX_Result Uninitialize();
    // Records the container, then lets the editor build its view; null withdraws the container
    // after the editor took its view down.
    AAX_Result SetViewContainer(AAX_IViewContainer* container);
    virtual AAX_Result GetViewSize(AAX_Point& size) const = 0;
    virtual AAX_Result TimerWakeup() { return AAX_SUCCESS; }

    AAX_IViewContainer* GetViewContainer() const { return container_; }
    AAX_CEffectParameters* GetEffectParameters() const { return parameters_; }
    AAX_IController* GetController() const { return controller_; }

protected:
    virtual void CreateViewContents() = 0;
    virtual void CreateViewContainer() = 0;
    virtual void DeleteViewContainer() = 0;

private:
    AAX_CEffectParameters* parameters_ = nullptr;
    AAX_IController* controller_ = nullptr;
    AAX_IViewContainer* container_ = nullptr;
};
