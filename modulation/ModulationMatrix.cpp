#include "modulation/ModulationMatrix.h"

#include <xmmintrin.h>

#include <algorithm>
#include <cmath>

#include "modulation/InternalController.h"

namespace {

// out = a x b + c, four samples at a time. Inputs may be any producer's buffer, so they are read
// unaligned; out may be c.
void multiplyAdd(float* out, const float* a, const float* b, const float* c, int count) {
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128 product = _mm_mul_ps(_mm_loadu_ps(a + i), _mm_loadu_ps(b + i));
        _mm_storeu_ps(out + i, _mm_add_ps(product, _mm_loadu_ps(c + i)));
    }
    for (; i < count; ++i) out[i] = a[i] * b[i] + c[i];
}

// out = a x b + c with a constant b.
void multiplyAddScalar(float* out, const float* a, float b, const float* c, int count) {
    __m128 factor = _mm_set1_ps(b);
    int i = 0;
    for (; i + 4 <= count; i += 4)
        _mm_storeu_ps(out + i, _mm_add_ps(_mm_mul_ps(_mm_loadu_ps(a + i), factor), _mm_loadu_ps(c + i)));
    for (; i < count; ++i) out[i] = a[i] * b + c[i];
}

// out = a x b + c with a constant c: the first non-constant term over a constant running result.
void multiplyAddOffset(float* out, const float* a, const float* b, bool bConstant, float c, int count) {
    __m128 offset = _mm_set1_ps(c);
    int i = 0;
    if (bConstant) {
        __m128 factor = _mm_set1_ps(b[0]);
        for (; i + 4 <= count; i += 4)
            _mm_storeu_ps(out + i, _mm_add_ps(_mm_mul_ps(_mm_loadu_ps(a + i), factor), offset));
        for (; i < count; ++i) out[i] = a[i] * b[0] + c;
        return;
    }
    for (; i + 4 <= count; i += 4)
        _mm_storeu_ps(out + i, _mm_add_ps(_mm_mul_ps(_mm_loadu_ps(a + i), _mm_loadu_ps(b + i)), offset));
    for (; i < count; ++i) out[i] = a[i] * b[i] + c;
}

void clampBlock(float* samples, int count, float minimum, float maximum) {
    __m128 low = _mm_set1_ps(minimum);
    __m128 high = _mm_set1_ps(maximum);
    int i = 0;
    for (; i + 4 <= count; i += 4)
        _mm_storeu_ps(samples + i, _mm_min_ps(_mm_max_ps(_mm_loadu_ps(samples + i), low), high));
    for (; i < count; ++i) samples[i] = std::min(std::max(samples[i], minimum), maximum);
}

}  // namespace

// --- records -------------------------------------------------------------------------------------

float ModulationMatrix::TargetKind::factorFor(int sourceType) const {
    for (const auto& [type, factor] : sourceFactors)
        if (type == sourceType) return factor;
    return defaultFactor;
}

ModulationMatrix::TargetRecord::TargetRecord(wave::Environment& environment, int number)
    : targetNumber(number), baseRamp(environment, 0.0f), baseProducer(environment, &baseRamp) {
    // Every slot may join one target at a time: the lists never grow beyond this.
    modulatingSlots.reserve(kSlotCount);
    baseRamp.setRange(minimum, maximum);
}

// --- producers -----------------------------------------------------------------------------------

ModulationMatrix::GlobalModulationProducer::GlobalModulationProducer(ModulationMatrix& matrix,
                                                                     TargetRecord& target)
    : wave::Source(matrix.environment()), matrix_(matrix), target_(target) {}

void ModulationMatrix::GlobalModulationProducer::produce(SampleBuffer& output, int count, int flags) {
    TargetRecord& target = target_;
    const float* acc = target.baseProducer.pull(count, flags);
    if (flags & wave::OutputNotNeeded) return;
    // A constant running result is carried as its first sample until a non-constant term turns up.
    bool constant = target.baseProducer.isConstant();
    float* out = output.samples();
    bool contributed = false;
    for (const SlotRecord* slot : target.modulatingSlots) {
        if (slot->state != 1) continue;
        wave::Producer& source = *matrix_.sourceProducers_[std::size_t(slot->source)];
        const float* src = source.pull(count, flags);
        GlobalModulationProducer& levelProducer = *matrix_.targetProducers_[std::size_t(slot->levelTarget)];
        const float* level = levelProducer.pull(count, flags);
        bool levelConstant = levelProducer.isConstant();
        contributed = true;
        if (constant) {
            if (source.isConstant() && levelConstant) {
                out[0] = src[0] * level[0] + acc[0];
                acc = out;
                continue;
            }
            // Widen the running result: this first per-sample term adds it as an offset.
            multiplyAddOffset(out, src, level, levelConstant, acc[0], count);
            acc = out;
            constant = false;
            continue;
        }
        if (levelConstant)
            multiplyAddScalar(out, src, level[0], acc, count);
        else
            multiplyAdd(out, src, level, acc, count);
        acc = out;
    }
    if (!contributed) {
        // Nothing modulates the target: its base ramp passes through untouched.
        setCurrentOutput(target.baseProducer.currentOutput());
        setOutputFlags(target.baseProducer.outputFlags());
        return;
    }
    if (constant) {
        float value = std::min(std::max(out[0], target.minimum), target.maximum);
        std::fill(out, out + count, value);
        setOutputFlags(wave::ConstantBlock);
    } else {
        clampBlock(out, count, target.minimum, target.maximum);
        setOutputFlags(0);
    }
}

ModulationMatrix::GlobalTargetController::GlobalTargetController(ModulationMatrix& matrix,
                                                                 GlobalModulationProducer& producer,
                                                                 int target)
    : wave::Source(matrix.environment(), false),
      producer_(producer),
      matrix_(matrix),
      targetNumber_(target) {}

void ModulationMatrix::GlobalTargetController::produce(SampleBuffer&, int count, int flags) {
    producer_.pull(count, flags);
    if (flags & wave::OutputNotNeeded) return;
    setCurrentOutput(producer_.currentOutput());
    setOutputFlags(producer_.outputFlags());
}

// --- construction and set-up ---------------------------------------------------------------------

ModulationMatrix::ModulationMatrix(wave::Environment& environment)
    : wave::Component(environment),
      sourceProducers_(kSourceCount, nullptr),
      targetControllers_(kTargetCount),
      slots_(kSlotCount),
      sources_(kSourceCount),
      kinds_(kKindCount),
      batchedSlots_(kSlotCount, 0) {
    internalController_ = std::make_unique<InternalController>(*this);
    targets_.reserve(kTargetCount);
    targetProducers_.reserve(kTargetCount);
    for (int t = 0; t < kTargetCount; ++t) {
        targets_.push_back(std::make_unique<TargetRecord>(environment, t));
        targetProducers_.push_back(std::make_unique<GlobalModulationProducer>(*this, *targets_.back()));
    }
    for (int s = 0; s < kSlotCount; ++s) {
        slots_[std::size_t(s)].slotNumber = s;
        slots_[std::size_t(s)].matrix = this;
    }
    for (SourceRecord& source : sources_) source.slots.reserve(kSlotCount);
}

ModulationMatrix::~ModulationMatrix() = default;

void ModulationMatrix::setKind(int kind, float defaultFactor, float maximum, float minimum) {
    if (kind < 0 || kind >= kKindCount) return;
    TargetKind& k = kinds_[std::size_t(kind)];
    k.defaultFactor = defaultFactor;
    k.maximum = maximum;
    k.minimum = minimum;
}

void ModulationMatrix::addSourceFactor(int kind, int sourceType, float factor) {
    if (kind < 0 || kind >= kKindCount) return;
    kinds_[std::size_t(kind)].sourceFactors.emplace_back(sourceType, factor);
}

void ModulationMatrix::setTargetKind(int target, int kind) {
    if (!validTarget(target)) return;
    TargetRecord& t = *targets_[std::size_t(target)];
    t.kind = kind >= 0 && kind < kKindCount ? &kinds_[std::size_t(kind)] : nullptr;
    applyLimits(t);
}

void ModulationMatrix::wireSlotLevel(int slot, int target) {
    if (!validSlot(slot) || !validTarget(target)) return;
    slots_[std::size_t(slot)].levelTarget = target;
    targets_[std::size_t(target)]->ownerSlot = &slots_[std::size_t(slot)];
}

void ModulationMatrix::addOwnTarget(int source, int target) {
    if (!validSource(source) || !validTarget(target)) return;
    std::vector<int>& own = sources_[std::size_t(source)].ownTargets;
    if (std::find(own.begin(), own.end(), target) == own.end()) own.push_back(target);
}

void ModulationMatrix::setSourceProducer(int source, wave::Producer* producer) {
    if (!validSource(source)) return;
    sourceProducers_[std::size_t(source)] = producer;
    // A slot waiting for this source may become active, or one using it inactive.
    for (SlotRecord& slot : slots_)
        if (slot.source == source) updateSlot(slot, false);
}

void ModulationMatrix::setSecondaryTarget(int target, SecondaryTarget* secondary) {
    if (validTarget(target)) targets_[std::size_t(target)]->secondaryTarget = secondary;
}

ModulationMatrix::GlobalTargetController* ModulationMatrix::getTargetController(int target) {
    if (!validTarget(target)) return nullptr;
    std::unique_ptr<GlobalTargetController>& controller = targetControllers_[std::size_t(target)];
    if (!controller)
        controller =
            std::make_unique<GlobalTargetController>(*this, *targetProducers_[std::size_t(target)], target);
    return controller.get();
}

// --- run time ------------------------------------------------------------------------------------

void ModulationMatrix::setSourceType(int source, int type) {
    if (!validSource(source)) return;
    SourceRecord& record = sources_[std::size_t(source)];
    if (record.sourceType == type) return;
    record.sourceType = type;
    for (SlotRecord* slot : record.slots) recomputeDepth(*slot);
}

void ModulationMatrix::setTargetBaseValue(int target, float value) {
    if (!validTarget(target) || !std::isfinite(value)) return;
    TargetRecord& t = *targets_[std::size_t(target)];
    t.baseValue = value;
    t.baseRamp.rampTo(value * t.scale);
    if (t.secondaryTarget) t.secondaryTarget->update();
}

void ModulationMatrix::detach(std::vector<SlotRecord*>& list, SlotRecord* slot) {
    auto it = std::find(list.begin(), list.end(), slot);
    if (it != list.end()) list.erase(it);
}

void ModulationMatrix::changeSlotSource(int slot, int source) {
    if (!validSlot(slot)) return;
    if (!validSource(source)) source = -1;
    SlotRecord& record = slots_[std::size_t(slot)];
    if (record.source == source) return;
    if (record.source >= 0) detach(sources_[std::size_t(record.source)].slots, &record);
    record.source = source;
    if (source >= 0) sources_[std::size_t(source)].slots.push_back(&record);
    slotChanged(record, true);
}

void ModulationMatrix::changeSlotTarget(int slot, int target) {
    if (!validSlot(slot)) return;
    if (!validTarget(target)) target = -1;
    SlotRecord& record = slots_[std::size_t(slot)];
    if (record.target == target) return;
    if (record.target >= 0) detach(targets_[std::size_t(record.target)]->modulatingSlots, &record);
    record.target = target;
    if (target >= 0) targets_[std::size_t(target)]->modulatingSlots.push_back(&record);
    slotChanged(record, true);
}

void ModulationMatrix::changeSlotBypassed(int slot, bool bypassed) {
    if (!validSlot(slot)) return;
    SlotRecord& record = slots_[std::size_t(slot)];
    if (record.bypassed == bypassed) return;
    record.bypassed = bypassed;
    slotChanged(record, false);
}

void ModulationMatrix::changeSlotInverted(int slot, bool inverted) {
    if (!validSlot(slot)) return;
    SlotRecord& record = slots_[std::size_t(slot)];
    if (record.inverted == inverted) return;
    record.inverted = inverted;
    recomputeDepth(record);
}

void ModulationMatrix::slotChanged(SlotRecord& slot, bool connectionChanged) {
    if (batchDepth_ > 0) {
        batchedSlots_[std::size_t(slot.slotNumber)] = 1;
        batchedConnection_ = batchedConnection_ || connectionChanged;
        return;
    }
    updateSlot(slot, true);
    if (connectionChanged) updateOtherSlots(slot);
}

void ModulationMatrix::endSlotBatch() {
    if (batchDepth_ == 0 || --batchDepth_ > 0) return;
    // The same checks as one change at a time would make, against the final settings.
    for (SlotRecord& slot : slots_) {
        char& changed = batchedSlots_[std::size_t(slot.slotNumber)];
        if (changed || (batchedConnection_ && (slot.source >= 0 || slot.target >= 0))) updateSlot(slot, changed != 0);
        changed = 0;
    }
    batchedConnection_ = false;
}

void ModulationMatrix::updateSlot(SlotRecord& slot, bool recompute) {
    bool active =
        internalController_->isSlotValid(slot.slotNumber) && sourceProducers_[std::size_t(slot.source)];
    bool becameActive = active && slot.state == 0;
    slot.state = active ? 1 : 0;
    if (active && (becameActive || recompute)) recomputeDepth(slot);
}

void ModulationMatrix::updateOtherSlots(const SlotRecord& changed) {
    // A changed connection may close or open a loop anywhere. Every connected slot is checked again,
    // active ones included, so which slots run depends only on the settings and never on the order
    // in which they were made.
    for (SlotRecord& slot : slots_)
        if (&slot != &changed && (slot.source >= 0 || slot.target >= 0)) updateSlot(slot, false);
}

void ModulationMatrix::recomputeDepth(SlotRecord& slot) {
    // Inactive slots keep their last depth. Inside a batch a slot can still be marked active while
    // its connection is already gone; the end of the batch measures it again.
    if (slot.state != 1 || slot.source < 0 || slot.target < 0) return;
    const TargetRecord& target = *targets_[std::size_t(slot.target)];
    float factor = target.kind ? target.kind->factorFor(sources_[std::size_t(slot.source)].sourceType) : 1.0f;
    float depth = target.scale * factor;
    if (slot.inverted) depth = -depth;
    TargetRecord& level = *targets_[std::size_t(slot.levelTarget)];
    level.scale = depth;
    applyLimits(level);
    level.baseRamp.jumpTo(depth * level.baseValue);
    // Slots modulating this level are measured in its units: their depths follow.
    for (SlotRecord* modulator : level.modulatingSlots) recomputeDepth(*modulator);
}

void ModulationMatrix::applyLimits(TargetRecord& target) {
    float low = target.kind ? target.kind->minimum : 0.0f;
    float high = target.kind ? target.kind->maximum : 1.0f;
    float a = low * target.scale;
    float b = high * target.scale;
    target.minimum = std::min(a, b);
    target.maximum = std::max(a, b);
    target.baseRamp.setRange(target.minimum, target.maximum);
}

// --- queries -------------------------------------------------------------------------------------

int ModulationMatrix::targetKindNumber(int target) const {
    if (!validTarget(target)) return -1;
    const TargetKind* k = targets_[std::size_t(target)]->kind;
    return k ? int(k - kinds_.data()) : -1;
}

int ModulationMatrix::sourceType(int source) const {
    return validSource(source) ? sources_[std::size_t(source)].sourceType : -1;
}

wave::Producer* ModulationMatrix::sourceProducer(int source) const {
    return validSource(source) ? sourceProducers_[std::size_t(source)] : nullptr;
}

const std::vector<int>& ModulationMatrix::ownTargets(int source) const {
    static const std::vector<int> none;
    return validSource(source) ? sources_[std::size_t(source)].ownTargets : none;
}

float ModulationMatrix::slotDepth(int slot) const {
    if (!validSlot(slot)) return 0.0f;
    int level = slots_[std::size_t(slot)].levelTarget;
    return validTarget(level) ? targets_[std::size_t(level)]->scale : 1.0f;
}

bool ModulationMatrix::hasActiveSlots(int target) const {
    if (!validTarget(target)) return false;
    for (const SlotRecord* slot : targets_[std::size_t(target)]->modulatingSlots)
        if (slot->state == 1) return true;
    return false;
}

// --- controller ----------------------------------------------------------------------------------

ModulationMatrix::Controller::Controller(ModulationMatrix* matrix)
    : defaultLevel(nullptr, 0.5f), matrix_(matrix), visitPosition_(kTargetCount, -1) {
    visited_.reserve(kTargetCount);
}

int ModulationMatrix::Controller::levelTargetOf(int slot) const {
    if (!validSlot(slot)) return -1;
    return matrix_ ? matrix_->slotRecord(slot).levelTarget : kFirstSlotLevelTarget + slot;
}

void ModulationMatrix::Controller::findSlotsBySource(int first, int count, std::vector<int>& out) {
    out.clear();
    for (int s = 0; s < kSlotCount; ++s) {
        int source = getSource(s);
        if (source >= first && source < first + count) out.push_back(s);
    }
}

void ModulationMatrix::Controller::findSlotsOfSource(int source, std::vector<int>& out) {
    findSlotsBySource(source, 1, out);
}

void ModulationMatrix::Controller::findSlotsByType(int sourceType, int kind, std::vector<int>& out) {
    out.clear();
    if (!matrix_) return;
    for (int s = 0; s < kSlotCount; ++s) {
        int source = getSource(s);
        int target = getTarget(s);
        if (source < 0 || target < 0) continue;
        if (kind != -1 && matrix_->targetKindNumber(target) != kind) continue;
        if (sourceType != -1 && matrix_->sourceType(source) != sourceType) continue;
        out.push_back(s);
    }
}

void ModulationMatrix::Controller::findSlotsTargetingAny(const std::vector<int>& targets,
                                                         std::vector<int>& out) {
    out.clear();
    for (int s = 0; s < kSlotCount; ++s) {
        int target = getTarget(s);
        if (target >= 0 && std::find(targets.begin(), targets.end(), target) != targets.end())
            out.push_back(s);
    }
}

void ModulationMatrix::Controller::findSlotsByTarget(int first, int count, std::vector<int>& out) {
    out.clear();
    for (int s = 0; s < kSlotCount; ++s) {
        int target = getTarget(s);
        if (target >= first && target < first + count) out.push_back(s);
    }
}

void ModulationMatrix::Controller::findSlotsOfTarget(int target, std::vector<int>& out) {
    findSlotsByTarget(target, 1, out);
}

void ModulationMatrix::Controller::visitTarget(int target) {
    if (!validTarget(target) || visitPosition_[std::size_t(target)] >= 0) return;
    visitPosition_[std::size_t(target)] = int(visited_.size());
    visited_.push_back(target);
    for (int s = 0; s < kSlotCount; ++s)
        if (getTarget(s) == target) visitSlot(s);
}

void ModulationMatrix::Controller::visitSlot(int slot) {
    visitTarget(levelTargetOf(slot));
    int source = getSource(slot);
    if (matrix_ && validSource(source))
        for (int target : matrix_->ownTargets(source)) visitTarget(target);
}

void ModulationMatrix::Controller::clearVisited() {
    for (int target : visited_) visitPosition_[std::size_t(target)] = -1;
    visited_.clear();
}

bool ModulationMatrix::Controller::isSlotValid(int slot) {
    if (!validSlot(slot)) return false;
    int target = getTarget(slot);
    if (levelTargetOf(slot) < 0 || !validSource(getSource(slot)) || !validTarget(target) || isBypassed(slot))
        return false;
    clearVisited();
    // Everything the slot's signal depends on: its level and its source's parameters, and whatever
    // modulates those, bypassed and inactive slots included.
    visitSlot(slot);
    bool valid = visitPosition_[std::size_t(target)] < 0;
    clearVisited();
    return valid;
}

int ModulationMatrix::Controller::findFreeSlot() {
    for (int s = 0; s < kSlotCount; ++s)
        if (getSource(s) < 0 && getTarget(s) < 0) return s;
    for (int s = 0; s < kSlotCount; ++s)
        if (!isSlotValid(s)) return s;
    return -1;
}

void ModulationMatrix::Controller::connect(int slot, int source, int target) {
    if (!validSlot(slot)) return;
    beginUpdate();
    setSource(slot, source);
    setTarget(slot, target);
    setLevel(slot, defaultLevel.get());
    setBypassed(slot, false);
    setInverted(slot, false);
    endUpdate();
}

void ModulationMatrix::Controller::clearSlot(int slot, std::vector<int>& cleared) {
    if (!validSlot(slot)) return;
    std::vector<int> work{slot};
    std::vector<int> modulators;
    std::vector<bool> seen(kSlotCount, false);
    for (std::size_t next = 0; next < work.size(); ++next) {
        int c = work[next];
        if (seen[std::size_t(c)]) continue;
        seen[std::size_t(c)] = true;
        beginUpdate();
        setSource(c, -1);
        setTarget(c, -1);
        setBypassed(c, false);
        setInverted(c, false);
        setLevel(c, 0.0f);
        endUpdate();
        cleared.push_back(c);
        findSlotsOfTarget(levelTargetOf(c), modulators);
        work.insert(work.end(), modulators.begin(), modulators.end());
    }
}

void ModulationMatrix::Controller::clearSlotsOfTarget(int target, std::vector<int>& cleared) {
    std::vector<int> slots;
    findSlotsOfTarget(target, slots);
    beginUpdate();
    for (int s : slots) clearSlot(s, cleared);
    endUpdate();
}

void ModulationMatrix::Controller::clearSlotsOfSource(int source, std::vector<int>& cleared) {
    std::vector<int> slots;
    findSlotsOfSource(source, slots);
    beginUpdate();
    for (int s : slots) clearSlot(s, cleared);
    if (matrix_)
        for (int target : matrix_->ownTargets(source)) clearSlotsOfTarget(target, cleared);
    endUpdate();
}

void ModulationMatrix::Controller::copySlot(int from, int to) {
    if (!validSlot(from) || !validSlot(to) || from == to) return;
    beginUpdate();
    setSource(to, getSource(from));
    setTarget(to, getTarget(from));
    setInverted(to, isInverted(from));
    setBypassed(to, isBypassed(from));
    setLevel(to, getLevel(from));
    endUpdate();
}

void ModulationMatrix::Controller::swapSlots(int a, int b) {
    if (!validSlot(a) || !validSlot(b) || a == b) return;
    struct Settings {
        int source, target;
        bool inverted, bypassed;
        float level;
    };
    auto read = [this](int s) {
        return Settings{getSource(s), getTarget(s), isInverted(s), isBypassed(s), getLevel(s)};
    };
    auto write = [this](int s, const Settings& v) {
        setSource(s, v.source);
        setTarget(s, v.target);
        setInverted(s, v.inverted);
        setBypassed(s, v.bypassed);
        setLevel(s, v.level);
    };
    beginUpdate();
    Settings first = read(a);
    Settings second = read(b);
    write(a, second);
    write(b, first);
    int levelA = levelTargetOf(a);
    int levelB = levelTargetOf(b);
    for (int s = 0; s < kSlotCount; ++s) {
        int target = getTarget(s);
        if (target == levelA && levelA >= 0)
            setTarget(s, levelB);
        else if (target == levelB && levelB >= 0)
            setTarget(s, levelA);
    }
    endUpdate();
}

void ModulationMatrix::Controller::sortSlots(int count, int* trackedSlot) {
    count = std::min(count, kSlotCount);
    auto before = [this](int x, int y) {
        int sx = getSource(x), sy = getSource(y);
        if ((sx >= 0) != (sy >= 0)) return sx >= 0;
        if (sx != sy) return sx < sy;
        int tx = getTarget(x), ty = getTarget(y);
        if ((tx >= 0) != (ty >= 0)) return tx >= 0;
        return tx < ty;
    };
    bool batch = false;
    for (int i = 1; i < count; ++i) {
        for (int j = i; j > 0 && before(j, j - 1); --j) {
            if (!batch) {
                beginUpdate();
                batch = true;
            }
            swapSlots(j, j - 1);
            if (trackedSlot) {
                if (*trackedSlot == j)
                    *trackedSlot = j - 1;
                else if (*trackedSlot == j - 1)
                    *trackedSlot = j;
            }
        }
    }
    if (batch) endUpdate();
}

void ModulationMatrix::Controller::compactSlots() {
    auto empty = [this](int s) { return getSource(s) < 0 && getTarget(s) < 0; };
    for (;;) {
        int hole = 0;
        while (hole < kSlotCount && !empty(hole)) ++hole;
        int used = hole + 1;
        while (used < kSlotCount && empty(used)) ++used;
        if (used >= kSlotCount) return;
        swapSlots(hole, used);
    }
}
