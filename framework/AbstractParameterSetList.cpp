#include "framework/AbstractParameterSetList.h"

#include <algorithm>

#include "wave/Producer.h"

AbstractParameterSetList::NumActiveParameter::NumActiveParameter(AbstractParameterSetList& list,
                                                                 GenericParameterOwner* owner,
                                                                 const std::string& listName)
    : PropPluginParameter<int>(owner, "Num Active " + listName), list_(list) {}

void AbstractParameterSetList::NumActiveParameter::applyToEngine(float plain) {
    PropPluginParameter<int>::applyToEngine(plain);
    list_.applyActiveCount(rawOfIndex(toIndex(plain)));
}

AbstractParameterSetList::AbstractParameterSetList(GenericParameterOwner* owner, const std::string& listName)
    : numActive_(*this, owner, listName), owner_(owner) {}

void AbstractParameterSetList::collectParameters(std::vector<AbstractPluginParameter*>& collection) {
    collection.push_back(&numActive_);
    AbstractParameterSetArray::collectParameters(collection);
}

int AbstractParameterSetList::firstParameterIndex() {
    return numActive_.index();
}

void AbstractParameterSetList::addProducerTable(wave::Producer* const* table) {
    producerTables_.push_back(table);
}

void AbstractParameterSetList::applyActiveCount(int count) {
    int positions = std::min(maximumCount(), getSetCount());
    for (wave::Producer* const* table : producerTables_)
        for (int j = 0; j < positions; ++j)
            if (table[j]) table[j]->setEnabled(j < count);
}

void AbstractParameterSetList::insertAt(int position) {
    int n = activeCount();
    if (position > n || n >= maximumCount()) return;
    owner_->beginUpdate();
    numActive_.setValue(float(n + 1), 0);
    int p = std::max(position, 1);
    for (int i = n; i >= p; --i) getSet(i)->copyValuesFrom(*getSet(i - 1));
    owner_->endUpdate();
}

bool AbstractParameterSetList::canRemove(int position) const {
    int n = activeCount();
    return position >= 0 && position < n && n > minimumCount();
}

void AbstractParameterSetList::removeAt(int position) {
    if (!canRemove(position)) return;
    int n = activeCount();
    owner_->beginUpdate();
    numActive_.setValue(float(n - 1), 0);
    for (int i = position; i <= n - 2; ++i) getSet(i)->copyValuesFrom(*getSet(i + 1));
    getSet(n - 1)->resetToDefaults();
    owner_->endUpdate();
}
