#include "output/Leftovers.h"

#include <system_error>

namespace kv::output {

bool IsLeftoverName(std::string_view name, std::string_view extension) {
    constexpr std::string_view kPart = ".part";
    if (name.size() < 1 + extension.size() + kPart.size() || name.front() != '.' || !name.ends_with(kPart))
        return false;
    name.remove_suffix(kPart.size());
    // "<process>-<n>": digits, one dash, digits.
    const size_t dot = name.rfind('.');
    const std::string_view number = name.substr(dot + 1);
    const size_t dash = number.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash + 1 == number.size()) return false;
    for (size_t i = 0; i < number.size(); ++i)
        if (i != dash && (number[i] < '0' || number[i] > '9')) return false;
    name = name.substr(1, dot - 1);
    return name.size() > extension.size() && name.ends_with(extension);
}

void RemoveLeftovers(const std::filesystem::path& folder, std::string_view extension,
                     std::filesystem::file_time_type before) {
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::filesystem::path& path = it->path();
        std::error_code fileError;
        const std::u8string name = path.filename().u8string();
        if (!IsLeftoverName(std::string_view(reinterpret_cast<const char*>(name.data()), name.size()), extension) ||
            it->is_symlink(fileError))
            continue;
        const std::filesystem::file_time_type written = std::filesystem::last_write_time(path, fileError);
        if (!fileError && written < before) std::filesystem::remove_all(path, fileError);
    }
}

}  // namespace kv::output
