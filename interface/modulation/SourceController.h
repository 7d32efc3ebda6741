#pragma once

#include <memory>
#include <string>
#include <vector>

#include "gui/Control.h"

class AbstractParameterSetList;
class LorimaneSourceInterface;
class ModulationArt;
class ModulationIndicatorManager;
class ModulationMatrixPluginInterface;
class SlotInterface;
class SourceInterface;
class SourceSelectionBar;
class SourceSlotController;

namespace gui {
class Button;
class Label;
class PopupMenu;
class ScrollStrip;
class Timer;
}  // namespace gui

// The modulation section: the source bar with the Add Source menu, the strip of source panels
// each with its slot rows, the slot list and the modulation indicators. Sources are added and
// removed as changes of their lists' active-count parameters, so undo, presets and automation
// cover them; the panels follow the active counts whenever a source parameter changes. [ui]
class SourceController : public gui::Control {
public:
    enum ButtonKind { AddSourceButton = 0, AddSlotButton = 1 };
    static constexpr int kRemovalMs = 300;
    // A pending addition whose count change never arrives stops blocking after this.
    static constexpr int kAdditionTimeoutMs = 1000;
    static constexpr int kBarHeight = 22;
    static constexpr const char* kHintNoSlots =
        "Drag and drop a source to a target knob to create modulation connections";
    static constexpr const char* kHintNoSources = "Click the Add Source button to create new modulation sources";
    static constexpr const char* kSortSlots = "Sort Slots";

    // What the product makes for the section.
    class Listener {
    public:
        virtual ~Listener() = default;
        // The Add Source button (kind 0) or an Add Slot button (kind 1); none for other kinds.
        virtual gui::Button* createSourceButton(int kind) = 0;
        virtual LorimaneSourceInterface* createSourceInterface(int kind, int set) = 0;
        virtual SlotInterface* createSlotInterface() = 0;
        // Applies the kind's "Default" component preset to the set; false when none was applied.
        virtual bool applyDefaultPreset(int presetKind, int set) = 0;
        // Points a panel at a set; by default its own setIndex.
        virtual void showSet(LorimaneSourceInterface& panel, int set);
    };

    SourceController(gui::UserInterface* ui, ModulationMatrixPluginInterface& editor, Listener& factory,
                     const ModulationArt& art);
    ~SourceController() override;

    // Registers a kind and its menu item "New " + type name before "Sort Slots".
    void addSourceKind(AbstractParameterSetList* list, const std::string& typeName, int presetKind, int sourcesPerSet);
    void addSource(int kind);
    void removeSource(int kind, int set);
    void scrollToSource(int kind, int set);
    void sortSlots();
    // Makes the panels follow the active counts, then the slot views.
    void rebuild();
    // A parameter changed (-1: everything may have).
    void parameterChanged(int index);
    // The first source number of the set (and how many it has).
    int firstSourceOf(int kind, int set, int* count = nullptr) const;

    int kindCount() const { return int(kinds_.size()); }
    AbstractParameterSetList* list(int kind) const;
    // The panels in strip order.
    std::vector<SourceInterface*> interfaces() const;
    SourceInterface* interfaceOf(int kind, int set) const;
    // The strip's hint; empty when none shows.
    std::string hintText() const;
    bool additionPending() const { return pendingAdd_.kind >= 0; }
    bool removalPending() const { return pendingRemove_.kind >= 0; }

    ModulationMatrixPluginInterface& editor() const { return editor_; }
    Listener& factory() const { return factory_; }
    const ModulationArt& art() const { return art_; }
    SourceSlotController& slots() const { return *slots_; }
    ModulationIndicatorManager& indicators() const { return *indicators_; }
    SourceSelectionBar& bar() const { return *bar_; }
    gui::ScrollStrip& strip() const { return *strip_; }
    gui::PopupMenu& addSourceMenu() const { return *menu_; }

    // Keeps the factory for the section's lifetime (the product's, when it built the section).
    void adoptFactory(std::unique_ptr<Listener> factory) { ownedFactory_ = std::move(factory); }
    // Called by the slot list after it laid out its rows.
    void slotsUpdated(int activeCount);
    void resized() override;
    void clicked() override;
    void paint(gui::Canvas& canvas) override;

private:
    struct Kind {
        AbstractParameterSetList* list;
        std::string name;
        int presetKind;
        int sourcesPerSet;
        std::vector<SourceInterface*> shown;
    };
    struct Pending {
        int kind = -1;
        int set = -1;
    };

    void layoutRow();
    void updateHint();
    void removalFinished(void*);
    void additionExpired(void*);
    void menuItemChosen(void* sender);
    void stripClicked(void*);
    int kindOfList(int parameterIndex);

    // Destroyed last: the controls draw with its art.
    std::unique_ptr<Listener> ownedFactory_;
    ModulationMatrixPluginInterface& editor_;
    Listener& factory_;
    const ModulationArt& art_;
    std::vector<Kind> kinds_;
    std::unique_ptr<gui::PopupMenu> menu_;
    SourceSelectionBar* bar_ = nullptr;
    gui::ScrollStrip* strip_ = nullptr;
    gui::Control* row_ = nullptr;
    gui::Label* hint_ = nullptr;
    std::unique_ptr<SourceSlotController> slots_;
    std::unique_ptr<ModulationIndicatorManager> indicators_;
    Pending pendingAdd_;
    Pending pendingRemove_;
    SourceInterface* removing_ = nullptr;
    // The list as it was at the click: a removal is dropped when the list changed meanwhile.
    std::vector<float> removalSnapshot_;
    gui::Timer* removalTimer_ = nullptr;
    gui::Timer* additionTimer_ = nullptr;
    bool rebuilding_ = false;
};
