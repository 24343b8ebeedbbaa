#include "MessageBox.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace skyloom::platform {
namespace {

MessageBoxHandler& handlerSlot() {
    static MessageBoxHandler h;
    return h;
}

std::string& titleSlot() {
    static std::string t = "Skyloom";
    return t;
}

} // namespace

void setMessageBoxHandler(MessageBoxHandler handler) {
    handlerSlot() = std::move(handler);
}
void setApplicationTitle(const std::string& title) {
    titleSlot() = title;
}
const std::string& applicationTitle() {
    return titleSlot();
}

bool nonInteractive() {
    const char* v = std::getenv("SKYLOOM_NONINTERACTIVE");
    return v && std::strcmp(v, "1") == 0;
}

MsgResult MessageBox(const std::string& text, MsgButtons buttons, const std::string& caption,
                     std::optional<MsgResult> defaultResult) {
    const std::string& cap = caption.empty() ? applicationTitle() : caption;
    MsgResult def =
        defaultResult.value_or(buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok);
    std::fprintf(stderr, "%s: %s\n", cap.c_str(), text.c_str());
    std::fflush(stderr);
    if (nonInteractive() || !handlerSlot())
        return def;
    return handlerSlot()(cap, text, buttons, def);
}

} // namespace skyloom::platform
