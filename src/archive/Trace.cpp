#include "archive/Trace.h"

namespace kv {

void Trace::TRACCIA(const std::string& name) {
    if (ring_[index_] == name) return;
    index_ = static_cast<int16_t>(index_ >= 10 ? 1 : index_ + 1);
    ring_[index_] = name;
}

std::vector<std::string> Trace::Lines() const {
    std::vector<std::string> out;
    out.reserve(10);
    int i = index_;
    for (int n = 0; n < 10; ++n) {
        i = i >= 10 ? 1 : i + 1;
        out.push_back(ring_[i]);
    }
    return out;
}

void Trace::Clear() {
    ring_.fill({});
    index_ = 0;
}

}  // namespace kv
