#pragma once

#include <lv2/atom/atom.h>
#include <lv2/midi/midi.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <map>
#include <string>

// What an LV2 host offers a plug-in instance, for the tests and the validation run. The map is used
// while instances are made, from one thread at a time.

// A URID map as hosts provide it.
struct UridMap {
    std::map<std::string, LV2_URID> ids;
    LV2_URID_Map map{this, [](LV2_URID_Map_Handle h, const char* uri) {
                         auto& ids = static_cast<UridMap*>(h)->ids;
                         auto [it, added] = ids.emplace(uri, static_cast<LV2_URID>(ids.size() + 1));
                         return it->second;
                     }};
    LV2_Feature feature{LV2_URID__map, &map};
    const LV2_Feature* features[2] = {&feature, nullptr};

    // Fills an atom sequence (at least 64 bytes, 8-byte aligned) with one MIDI message.
    void oneMidiEvent(uint8_t* buffer, int64_t frames, std::initializer_list<uint8_t> bytes) {
        auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(buffer);
        sequence->atom.type = map.map(map.handle, LV2_ATOM__Sequence);
        sequence->atom.size = sizeof(LV2_Atom_Sequence_Body) + sizeof(LV2_Atom_Event) + 8;
        auto* event = reinterpret_cast<LV2_Atom_Event*>(sequence + 1);
        event->time.frames = frames;
        event->body.type = map.map(map.handle, LV2_MIDI__MidiEvent);
        event->body.size = static_cast<uint32_t>(bytes.size());
        std::memcpy(event + 1, bytes.begin(), bytes.size());
    }
};

// A host's worker feature that counts the plug-in's requests; the test serves them.
struct WorkerHost {
    explicit WorkerHost(UridMap& urids) : features{urids.features[0], &feature, nullptr} {}
    std::atomic<int> requests{0};
    LV2_Worker_Schedule schedule{this, [](LV2_Worker_Schedule_Handle h, uint32_t, const void*) {
                                     static_cast<WorkerHost*>(h)->requests.fetch_add(1);
                                     return LV2_WORKER_SUCCESS;
                                 }};
    LV2_Feature feature{LV2_WORKER__schedule, &schedule};
    const LV2_Feature* features[3];
};
