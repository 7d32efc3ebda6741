#include "host/aax/sdk/AAX_CEffectGUI.h"

AAX_Result AAX_CEffectGUI::Initialize(AAX_CEffectParameters* parameters, AAX_IController* controller) {
    if (!parameters || !controller) return AAX_ERROR_NULL_OBJECT;
    parameters_ = parameters;
    controller_ = controller;
    CreateViewContents();
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI::Uninitialize() {
    SetViewContainer(nullptr);
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI::SetViewContainer(AAX_IViewContainer* container) {
    if (container_) DeleteViewContainer();
    container_ = container;
    if (container_) CreateViewContainer();
    return AAX_SUCCESS;
}
