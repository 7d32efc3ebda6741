#include "engine/HeavySetting.h"

std::vector<std::string> heavySetting() {
    std::vector<std::string> s = {"Num Active XY Controllers=4",
                                  "Num Active XLFOs=6",
                                  "Num Active EGs=6",
                                  "Num Active EFs=4",
                                  "Num Active MIDI Sources=10",
                                  "Num Active Slots=24",
                                  "Delay Buffer Read Style=Stretch",
                                  "Filter 1 Slope=48",
                                  "Filter 2 Slope=48",
                                  "Filter 1 Freq=3000 Hz",
                                  "Filter 2 Freq=800 Hz",
                                  "Filter Routing=Parallel",
                                  "Delay L Feedback=0.6",
                                  "Delay R Cross Feedback=0.4"};
    const char* sources[] = {"XLFO 1", "XLFO 2",   "XLFO 3",   "XLFO 4",   "XLFO 5", "XLFO 6",
                             "EG 1",   "EG 2",     "EG 3",     "EG 4",     "EG 5",   "EG 6",
                             "EF 1",   "EF 2",     "EF 3",     "EF 4",     "MIDI 1", "MIDI 2",
                             "MIDI 3", "XY 1 Hor", "XY 1 Ver", "XY 2 Hor", "XLFO 1", "EF 1"};
    const char* targets[] = {"Delay 1 Time",  "Delay 2 Time", "Filter 1 Freq", "Filter 2 Freq",
                             "Filter 1 Peak", "Delay 1 Pan",  "Delay 2 Pan",   "Filter 1 Pan",
                             "Wet Level",     "Dry Pan",      "Input Level",   "Delay 1 Feedback"};
    for (int n = 0; n < 24; ++n) {
        std::string slot = "Slot " + std::to_string(n + 1);
        s.push_back(slot + " Source=" + sources[n]);
        s.push_back(slot + " Target=" + targets[n % 12]);
        s.push_back(slot + " Level=0.3");
    }
    for (int n = 1; n <= 6; ++n) s.push_back("XLFO " + std::to_string(n) + " Frequency=" + std::to_string(n) + " Hz");
    return s;
}
