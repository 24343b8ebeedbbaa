#include "Startup.h"

#include "platform/MessageBox.h"

#include <QCoreApplication>

namespace skyloom::imagesets {

std::string noImageSetsMessage(const std::string& programPath) {
    return QCoreApplication::translate("skyloom::imagesets", "Unable to find image sets. PATH = %1")
        .arg(QString::fromStdString(programPath))
        .toStdString();
}

bool RefreshImageSets(SetLibrary& library) {
    if (library.InitSetsInfo() != SetLibrary::InitResult::NoImageSetsFound)
        return true;
    platform::MessageBox(noImageSetsMessage(library.ProgramPath()), platform::MsgButtons::Ok,
                         QCoreApplication::translate("skyloom::imagesets", "ERROR").toStdString());
    return false;
}

bool RefreshImageSets() {
    SetLibrary library;
    return RefreshImageSets(library);
}

} // namespace skyloom::imagesets
