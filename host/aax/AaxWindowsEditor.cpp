#include "host/aax/AaxWindowsEditor.h"

#include <cstring>
#include <string>

#include "framework/GenericPlugin.h"
#include "gui/Control.h"
#include "gui/RootControl.h"
#include "gui/native/WindowInterface.h"
#include "gui/native/x11/GlxContext.h"
#include "gui/native/x11/X11WindowSystem.h"
#include "host/aax/AaxWindowsMessageHook.h"
#include "host/aax/sdk/AAX_CEffectParameters.h"
#include "interface/LorimaneEditor.h"
#include "persistence/PersistenceGlobals.h"

namespace {

gui::native::WindowSystem*& sharedWindowSystem() {
    static gui::native::WindowSystem* system = nullptr;
    return system;
}

// The process-wide graphics mode (a maker-wide override wins over the user's setting).
int graphicsMode() {
    if (PersistenceGlobals* globals = PersistenceGlobals::instance()) return globals->settingsState().graphicsMode;
    GenericPlugin::SharedSettings* shared = GenericPlugin::sharedSettings();
    return shared ? shared->graphicsAcceleration.get() : 1;
}

}  // namespace

AAX_CEffectGUI* AaxWindowsEditor::create() { return new AaxWindowsEditor(); }

void AaxWindowsEditor::setWindowSystem(gui::native::WindowSystem* system) { sharedWindowSystem() = system; }

AaxWindowsEditor::AaxWindowsEditor() = default;

AaxWindowsEditor::~AaxWindowsEditor() {
    DeleteViewContainer();
    ownSystem_.reset();
}

void AaxWindowsEditor::CreateViewContents() {
    plugin_ = nullptr;
    AAX_CEffectParameters* parameters = GetEffectParameters();
    GenericPlugin* plugin = nullptr;
    uint32_t written = 0;
    if (parameters && parameters->GetCustomData(0, sizeof plugin, &plugin, written) == AAX_SUCCESS &&
        written == sizeof plugin)
        plugin_ = plugin;
}

AAX_Result AaxWindowsEditor::GetViewSize(AAX_Point& size) const {
    if (!plugin_) return AAX_ERROR_UNIMPLEMENTED;
    size.vert = static_cast<float>(plugin_->getEditorHeight());
    size.horz = static_cast<float>(plugin_->getEditorWidth());
    return AAX_SUCCESS;
}

void AaxWindowsEditor::CreateViewContainer() {
    AAX_IViewContainer* container = GetViewContainer();
    if (!plugin_ || !container || container->GetType() != AAX_eViewContainer_Type_HWND || window_) return;

    gui::native::WindowSystem* system = sharedWindowSystem();
    if (!system) {
        if (!ownSystem_) ownSystem_ = gui::native::X11WindowSystem::open();
        system = ownSystem_.get();
    }
    if (!system) return;  // no display to show the editor on

    AAX_Point size;
    GetViewSize(size);
    const gui::Rect bounds{0, 0, static_cast<int>(size.horz), static_cast<int>(size.vert)};
    window_ = std::make_unique<gui::WindowInterface>(*system, container->GetPtr(), bounds);
    if (auto* x11 = dynamic_cast<gui::native::X11WindowSystem*>(system)) {
        const int mode = graphicsMode();
        if (mode != 0) gui::native::enableGlxAcceleration(*window_, *x11, mode);
    }
    window_->setMouseHook(this);

    messageHook_ = std::make_unique<AaxWindowsMessageHook>(*this);
    window_->setMessageHook(messageHook_.get());

    interface_ = createLorimaneEditor(*plugin_, *window_, *this);
}

void AaxWindowsEditor::cancelHeldPress() {
    gui::RootControl* root = window_->getRootControl();
    if (!root || !root->isButtonHeld()) return;
    const bool lock = window_->accelerated;
    if (lock) root->enterMessage();
    root->cancelMode();
    if (lock) root->leaveMessage();
}

void AaxWindowsEditor::DeleteViewContainer() {
    if (!window_) return;
    // A drag the user still holds ends here, so that its edit closes as any other.
    cancelHeldPress();
    window_->closePopupMenus();
    interface_.reset();
    // Whatever the editor left touched is released: no edit stays open in the host.
    if (AAX_CEffectParameters* parameters = GetEffectParameters())
        for (const auto& [parameter, count] : openEdits_)
            for (int i = 0; i < count; ++i) parameters->ReleaseParameter(std::to_string(parameter));
    openEdits_.clear();
    window_->setMessageHook(nullptr);
    messageHook_.reset();
    window_->setMouseHook(nullptr);
    window_.reset();
}

AAX_Result AaxWindowsEditor::TimerWakeup() {
    if (ownSystem_) ownSystem_->processEvents(0);
    return AAX_SUCCESS;
}

uint32_t AaxWindowsEditor::hostModifiers(int flags) {
    uint32_t modifiers = 0;
    if (flags & gui::Control::Shift) modifiers |= AAX_eModifiers_Shift;
    if (flags & gui::Control::HostModifier) modifiers |= AAX_eModifiers_Control;
    if (flags & gui::Control::Alt) modifiers |= AAX_eModifiers_Option;
    if (flags & gui::Control::Ctrl) modifiers |= AAX_eModifiers_Command;
    return modifiers;
}

bool AaxWindowsEditor::mousePressed(int, gui::Point windowPoint, int flags) {
    AAX_IViewContainer* container = GetViewContainer();
    const int parameter = interface_ ? interface_->parameterAt(windowPoint) : -1;
    if (parameter < 0 || !container) return true;
    return container->HandleParameterMouseDown(std::to_string(parameter), hostModifiers(flags)) != AAX_SUCCESS;
}

void AaxWindowsEditor::editBegan(int parameter) {
    AAX_CEffectParameters* parameters = GetEffectParameters();
    if (!parameters || parameters->TouchParameter(std::to_string(parameter)) != AAX_SUCCESS) return;
    ++openEdits_[parameter];
}

void AaxWindowsEditor::editEnded(int parameter) {
    auto open = openEdits_.find(parameter);
    if (open == openEdits_.end()) return;  // never touched: nothing to release
    if (--open->second == 0) openEdits_.erase(open);
    if (AAX_CEffectParameters* parameters = GetEffectParameters()) parameters->ReleaseParameter(std::to_string(parameter));
}

bool AaxWindowsEditor::resizeRequested(int width, int height) {
    AAX_IViewContainer* container = GetViewContainer();
    if (!container) return false;
    AAX_Point size;
    size.vert = static_cast<float>(height);
    size.horz = static_cast<float>(width);
    return container->SetViewSize(size) == AAX_SUCCESS;
}
