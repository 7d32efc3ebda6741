#pragma once

#include <memory>
#include <vector>

#include "gui/DragManager.h"
#include "gui/Rect.h"
#include "interface/BrixholdePluginInterface.h"
#include "interface/controls/ModulationComponentDisplay.h"

class AbstractParameterSetList;
class ModMatrixParamController;
class ModulationMatrixOwner;
class ModulationSlotParameterSetList;
class SourceController;

namespace gui {
class Button;
}

// The editor base of a plug-in with a modulation matrix: it knows which control edits which
// modulation target, which source set owns each target, runs the drag of sources onto targets and
// keeps the modulation section. Any value control bound to a parameter that is a modulation target
// becomes that target's control (the first one bound; an explicit target binding replaces it), so
// every knob of the editor takes drops and shows an indicator without code of its own. [ui]
class ModulationMatrixPluginInterface : public BrixholdePluginInterface, public gui::DragManager::Listener {
public:
    static constexpr int kTargetCount = 107;
    static constexpr int kFirstSlotLevelTarget = 83;
    static constexpr const char* kNoFreeSlots = "No free slots are available. Clear one or more slots and try again.";
    static constexpr const char* kHoverOnly =
        "You can only hover over this item, not drag a source to it. Instead, drag the source to a target knob to "
        "create a modulation connection.";

    // Told when a control becomes or stops being a parameter's target control.
    class TargetListener {
    public:
        // Added: the control is the parameter's target control now. Moved: the control was the
        // target control of the given (old) parameter before. Replaced: the given (old) control
        // lost the parameter to another. Removed: the control was unbound.
        enum Code { Added = 0, Moved = 1, Replaced = 2, Removed = 3 };
        virtual ~TargetListener() = default;
        virtual void targetControlChanged(int parameter, gui::ValueControl* control, int target, int code) = 0;
    };

    ModulationMatrixPluginInterface(GenericPlugin& plugin, gui::UserInterface& ui, EditorHost& host);
    ~ModulationMatrixPluginInterface() override;

    // Binds as the frame does; a parameter that is a modulation target gets the control as its
    // target control when it has none yet.
    void bindControl(int index, gui::ValueControl* control) override;
    // Target -1 binds an ordinary control.
    void bindControl(int index, gui::ValueControl* control, int target);
    void unbindControl(int index, gui::ValueControl* control) override;
    // The target the control edits, -1 when it is no target control.
    int targetOf(const gui::Control* control) const;
    gui::ValueControl* targetControl(int parameter) const;
    void addTargetListener(TargetListener* listener);
    void removeTargetListener(TargetListener* listener);

    // The parameter-based slot controller; null when the plug-in has no matrix.
    ModMatrixParamController* slotController() const;
    ModulationSlotParameterSetList* slotList() const;
    ModulationMatrixOwner* matrixOwner() const { return owner_; }
    // A target is in use when no source set owns it or its set is active.
    bool isTargetInUse(int target) const;
    void setTargetOwner(int target, AbstractParameterSetList* list, int set);

    gui::DragManager& dragManager() { return dragManager_; }
    gui::DragStage* createDragStage(gui::Control* source) override;

    // The modulation section, built on first use; null when the plug-in has no sources.
    SourceController* modulationSection();
    // What component displays that contain targets use to show only their targets' slots; none
    // without a section.
    ModulationComponentDisplay::TargetFilter* targetFilter();
    // Places the section (hidden unless shown) and tells its indicators which button shows it.
    void placeModulationSection(const gui::Rect& area, bool shown, gui::Button* modulationButton);

    void refreshParameter(int index) override;
    void refreshPresetName() override;

private:
    struct TargetEntry {
        gui::ValueControl* control = nullptr;
        int target = -1;
    };
    struct TargetOwner {
        AbstractParameterSetList* list = nullptr;
        int set = 0;
    };
    void tellListeners(int parameter, gui::ValueControl* control, int target, int code);
    int targetOfParameter(int index) const;
    void destroySection();

    ModulationMatrixOwner* owner_;
    gui::DragManager dragManager_;
    std::vector<TargetEntry> targetControls_;
    std::vector<TargetOwner> targetOwners_;
    std::vector<TargetListener*> listeners_;
    SourceController* section_ = nullptr;
    bool sectionTried_ = false;
    bool refreshing_ = false;
};
