#include "host/aax/AaxWindowsMessageHook.h"

#include "gui/Control.h"
#include "host/aax/AaxWindowsEditor.h"
#include "host/aax/sdk/AAX_CEffectGUI.h"

int AaxWindowsMessageHook::toolkitFlags(uint32_t hostModifiers) {
    int flags = 0;
    if (hostModifiers & AAX_eModifiers_Option) flags |= gui::Control::Alt;
    if (hostModifiers & AAX_eModifiers_Control) flags |= gui::Control::HostModifier;
    return flags;
}

void AaxWindowsMessageHook::adjustModifiers(int& flags) {
    AAX_IViewContainer* container = editor_.GetViewContainer();
    uint32_t hostModifiers = 0;
    if (container && container->GetModifiers(&hostModifiers) == AAX_SUCCESS) flags |= toolkitFlags(hostModifiers);
}
