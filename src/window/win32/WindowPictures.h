#pragma once
// The command buttons' pictures (src/window/icons/*.png), compiled into the program by the build.
#include <cstddef>
#include <string_view>

namespace kv::window {

struct Picture {
    std::string_view name;  // the file name without ".png"
    const unsigned char* png;
    std::size_t size;
};

extern const Picture kPictures[];
extern const std::size_t kPictureCount;

}  // namespace kv::window
