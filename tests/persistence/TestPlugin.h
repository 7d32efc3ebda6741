#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/DefaultEventReceiver.h"
#include "framework/FloatPluginParameter.h"
#include "framework/GenericPlugin.h"
#include "persistence/PersistenceGlobals.h"
#include "persistence/PluginPresets.h"
#include "persistence/ProgramChangeQueue.h"
#include "streams/BinaryDataWriter.h"

// A plug-in wired to the persistence layer the way the engine wires it, with plain parameters:
// P0 .. P(n-1) (range -100 to 100, default i), then "Dry Enabled" (kept across loads) and
// "Delay Freeze" (never changed by a preset). Two component kinds: "Delays" over P0..P2 and
// "Filters" over P3..P4.
class TestPlugin : public GenericPlugin {
public:
    static constexpr int kPlain = 8;
    static constexpr int kCount = kPlain + 2;

    TestPlugin() : presets(*this, "BLms") {
        for (int i = 0; i < kPlain; ++i) add("P" + std::to_string(i), -100.0f, 100.0f, float(i));
        dryEnabled = add("Dry Enabled", 0.0f, 1.0f, 1.0f);
        freeze = add("Delay Freeze", 0.0f, 1.0f, 0.0f);
        initialize("Lorimane");
        keptParameters().push_back(dryEnabled);
        presets.collectAllParameters();
        presets.setFreezeParameter(freeze);
        delays = presets.registerComponentKind("Delays", ".delays");
        filters = presets.registerComponentKind("Filters", ".filters");
        presets.addComponentCollection(delays, 0, 3);
        presets.addComponentCollection(filters, 3, 2);
        // Program changes leave the audio thread through the queue; the owner delivers them.
        static_cast<DefaultEventReceiver&>(eventReceiver())
            .channelReceiver()
            .setProgramChangeHandler(&programChanges);
    }

    ~TestPlugin() override { releaseInstance(); }

    std::string getChunkTag() const override { return "BLms"; }
    void initGlobals(const std::string& productName) override {
        GenericPlugin::initGlobals(productName);
        PersistenceGlobals& g = PersistenceGlobals::create(*versionRecord());
        if (bundle) g.setFactoryBundle(*bundle);
    }
    bool loadControllerMap() override { return PersistenceGlobals::instance()->loadControllerMap(); }
    void loadDefaultControllerMap() override {
        PersistenceGlobals::instance()->controllerMap().loadDefault();
    }
    void loadGlobalSettings(bool first) override {
        PersistenceGlobals::instance()->readSettings(*sharedSettings(), &settings(), first);
    }
    void saveControllerMap() override { PersistenceGlobals::instance()->saveControllerMapAtExit(); }
    void releaseGlobals() override {
        PersistenceGlobals::instance()->writeSettings(*sharedSettings(), &settings());
        GenericPlugin::releaseGlobals();
        PersistenceGlobals::release();
    }
    void* getPresetFolder(int index) const override {
        return PersistenceGlobals::instance()->presetFolder(index);
    }
    bool loadPresetFile(const PresetRecord& preset) override { return presets.loadPresetFile(preset); }
    bool savePresetFile(const PresetRecord& preset) override { return presets.savePresetFile(preset); }
    bool findPreset(const std::string& name, PresetRecord& preset) override {
        return presets.findPreset(name, preset);
    }

    std::vector<float> values() const {
        std::vector<float> v;
        for (const auto& p : owned) v.push_back(p->value());
        return v;
    }
    std::vector<float> defaults() const {
        std::vector<float> v;
        for (const auto& p : owned) v.push_back(p->defaultValue());
        return v;
    }
    void setAll(float base) {
        for (std::size_t i = 0; i < owned.size(); ++i) owned[i]->setValue(base + float(i) * 0.5f, 0);
    }
    FloatPluginParameter& parameter(int i) { return *owned[std::size_t(i)]; }

    // A bundle to install instead of the embedded one; set before the first instance is created.
    static inline const std::string* bundle = nullptr;

    PluginPresets presets;
    ProgramChangeQueue programChanges;
    FloatPluginParameter* dryEnabled;
    FloatPluginParameter* freeze;
    int delays = -1;
    int filters = -1;

private:
    FloatPluginParameter* add(const std::string& name, float lo, float hi, float def) {
        owned.push_back(std::make_unique<FloatPluginParameter>(this, name));
        FloatPluginParameter* p = owned.back().get();
        p->setRange(lo, hi, def);
        p->setValue(def, 0);
        return p;
    }
    std::vector<std::unique_ptr<FloatPluginParameter>> owned;
};

// Preset bytes built from the documented layout: tag, version, count, then the values.
inline std::string presetBytes(const std::string& tag, int version, int count,
                               const std::vector<float>& values) {
    std::ostringstream out;
    BinaryDataWriter w(out);
    w.writeHeader(tag, version);
    w.writeInt32(count);
    for (float v : values) w.writeFloat32(v);
    return out.str();
}
