#include "Startup.h"

#include "platform/MessageBox.h"

namespace skyloom::imagesets {

std::string noImageSetsMessage(const std::string& programPath) {
    return "Unable to find image sets. PATH = " + programPath;
}

bool RefreshImageSets(SetLibrary& library) {
    if (library.InitSetsInfo() != SetLibrary::InitResult::NoImageSetsFound)
        return true;
    platform::MessageBox(noImageSetsMessage(library.ProgramPath()), platform::MsgButtons::Ok,
                         "ERROR");
    return false;
}

bool RefreshImageSets() {
    SetLibrary library;
    return RefreshImageSets(library);
}

} // namespace skyloom::imagesets
