#include "ForeignWindow.h"

#include <cstdlib>

namespace skyloom::saver {

namespace {

std::uint32_t parseWindowId(const char* text) {
    if (!text || !*text)
        return 0;
    char* end = nullptr;
    const unsigned long v = std::strtoul(text, &end, 0); // "0x..." or decimal
    if (!end || *end != '\0' || v == 0 || v > 0xFFFFFFFFul)
        return 0;
    return static_cast<std::uint32_t>(v);
}

} // namespace

std::optional<std::uint32_t> daemonWindow(const std::vector<std::string>& args,
                                          const char* environmentWindow) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--window-id" || a == "-window-id")
            return i + 1 < args.size() ? parseWindowId(args[i + 1].c_str()) : 0;
        if (a == "-root" || a == "--root")
            return parseWindowId(environmentWindow);
    }
    return std::nullopt;
}

} // namespace skyloom::saver
