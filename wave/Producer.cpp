#include "wave/Producer.h"

namespace wave {

Producer::Producer(Environment& environment, bool ownBuffer)
    : Component(environment), currentOutput_(&environment.zeroBuffer()) {
    if (ownBuffer) ownBuffer_.allocate(environment.maxBlockLength());
    environment.producerConstructed();
}

Producer::~Producer() { environment_->producerDestroyed(this); }

void Producer::addToClosingPass(int position) {
    if (enabled_ && inClosingPass_) environment_->removeFromClosingPass(this);
    closingPassPosition_ = position;
    inClosingPass_ = true;
    if (enabled_) environment_->insertIntoClosingPass(this, position);
}

void Producer::addToResetList() {
    if (inResetList_) return;
    inResetList_ = true;
    if (enabled_) environment_->appendToResetList(this);
}

void Producer::setEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (!enabled) {
        environment_->removeFromClosingPass(this);
        environment_->removeFromResetList(this);
        return;
    }
    if (inClosingPass_) environment_->insertIntoClosingPass(this, closingPassPosition_);
    if (inResetList_) {
        environment_->appendToResetList(this);
        reset();
    }
}

}  // namespace wave
