#pragma once
// Message boxes as the layers below the user interface see them.
//
// Every box writes its caption and text to stderr. The user interface
// installs a handler that shows a real dialog; without one, or with
// SKYLOOM_NONINTERACTIVE=1, the box is answered with its default button
// (scripts and tests rely on this).

#include <functional>
#include <optional>
#include <string>

namespace skyloom::platform {

enum class MsgButtons { Ok, OkCancel, YesNo };
enum class MsgResult { Ok, Cancel, Yes, No };

using MessageBoxHandler = std::function<MsgResult(
    const std::string& caption, const std::string& text, MsgButtons, MsgResult defaultResult)>;

/// Installs the handler that shows boxes (nullptr: none).
void setMessageBoxHandler(MessageBoxHandler handler);
/// Caption used when a box names none (the program's title).
void setApplicationTitle(const std::string& title);
const std::string& applicationTitle();
/// True when SKYLOOM_NONINTERACTIVE=1.
bool nonInteractive();

/// Shows a box; the default answer is the first button (Ok, Ok, Yes) unless given.
MsgResult MessageBox(const std::string& text, MsgButtons buttons = MsgButtons::Ok,
                     const std::string& caption = {},
                     std::optional<MsgResult> defaultResult = std::nullopt);

} // namespace skyloom::platform
