// The LV2 UI library: one X11 UI descriptor over the product's editor.
#include <lv2/ui/ui.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "host/lv2/Lv2Turtle.h"
#include "host/lv2/ui/Lv2Ui.h"
#include "product/ProductPlugin.h"

namespace {

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features) {
    if (!pluginUri || std::strcmp(pluginUri, lv2turtle::kPluginUri) != 0) return nullptr;
    try {
        std::string error;
        std::unique_ptr<Lv2Ui> ui = Lv2Ui::create(features, write, controller, &makeProductPlugin, error);
        if (!ui) return nullptr;
        if (widget) *widget = reinterpret_cast<LV2UI_Widget>(static_cast<uintptr_t>(ui->windowId()));
        return ui.release();
    } catch (...) {
        return nullptr;
    }
}

void cleanup(LV2UI_Handle h) { delete static_cast<Lv2Ui*>(h); }

void portEvent(LV2UI_Handle h, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
    static_cast<Lv2Ui*>(h)->portEvent(port, size, format, buffer);
}

const void* extensionData(const char* uri) {
    if (std::strcmp(uri, LV2_UI__idleInterface) == 0) return Lv2Ui::idleInterface();
    if (std::strcmp(uri, LV2_UI__showInterface) == 0) return Lv2Ui::showInterface();
    return nullptr;
}

const LV2UI_Descriptor descriptor = {lv2turtle::kUiUri, instantiate, cleanup, portEvent, extensionData};

}  // namespace

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) { return index == 0 ? &descriptor : nullptr; }
