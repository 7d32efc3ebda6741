#pragma once

#include "persistence/ParameterCollection.h"
#include "persistence/PresetLoader.h"

// Loads a component preset into the parameters of one section's collection. UI thread.
class CollectionPresetLoader : public PresetLoader {
public:
    CollectionPresetLoader(ParameterCollection& collection, std::string tag)
        : PresetLoader(collection.owner(), std::move(tag)), collection_(collection) {}

protected:
    int valueCount() override { return collection_.size(); }
    void resetValue(int position) override {
        AbstractPluginParameter* p = collection_.at(position);
        p->setValue(p->defaultValue(), 0);
    }
    void applyValue(int position, float value) override { collection_.at(position)->setValue(value, 0); }

private:
    ParameterCollection& collection_;
};
