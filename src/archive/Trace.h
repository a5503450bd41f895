#pragma once
// The routine trace: a ring of the names of the last ten routines entered, shown by the error report.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kv {

class Trace {
public:
    // Records a routine name; a name equal to the newest entry is recorded once.
    void TRACCIA(const std::string& name);
    // The ten entries from the one after the current index round the ring to the current one,
    // oldest first; entries never filled are empty.
    std::vector<std::string> Lines() const;
    int16_t index() const { return index_; }
    void Clear();

private:
    std::array<std::string, 11> ring_{};  // entries 1..10 used
    int16_t index_ = 0;
};

}  // namespace kv
