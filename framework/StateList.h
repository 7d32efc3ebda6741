#pragma once

#include <string>
#include <vector>

class StateListOwner;

// A fixed number of complete snapshots of the plug-in: every parameter's plain value plus the
// current preset's name, path and modified flag. UI thread.
class StateList {
public:
    struct Record {
        std::string description;
        std::string presetName;
        std::string presetPath;
        bool modified = false;
        int compareIndex = 0;  // the compare state (0 = A, 1 = B) active when taken
        std::vector<float> values;
        bool captured = false;  // false until the record was first taken
    };

    StateList(StateListOwner& owner, int size);
    virtual ~StateList() = default;
    StateList(const StateList&) = delete;
    StateList& operator=(const StateList&) = delete;

    int size() const { return static_cast<int>(records_.size()); }
    Record& record(int i) { return records_[std::size_t(i)]; }
    const Record& record(int i) const { return records_[std::size_t(i)]; }

    // Takes the present state into the record.
    void captureState(Record& record);
    // Brings the record back as one batch of parameter changes followed by the reset marker, then
    // its preset name, path and modified flag. A record never taken restores nothing; one with fewer
    // values than there are parameters restores the values it holds.
    void restoreState(const Record& record);
    // True when the record holds one value per parameter and each equals the parameter's value
    // within the float epsilon.
    bool statesEqual(const Record& record);

private:
    StateListOwner& owner_;
    std::vector<Record> records_;
};
