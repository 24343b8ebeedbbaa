#include "SaverPreview.h"

#include "PageLists.h"
#include "imagesets/SetLibrary.h"
#include "saver/frmSaver.h"

#include "common/Log.h"

#include <QTemporaryDir>

#include <filesystem>
#include <system_error>

namespace skyloom::config {

namespace {

template <class T> const T* at(const std::vector<T>& items, int index) {
    return index >= 0 && index < static_cast<int>(items.size())
               ? &items[static_cast<std::size_t>(index)]
               : nullptr;
}

} // namespace

saver::SaverSettings previewSettings(const ScreenSaverSettings& v,
                                     const std::vector<std::string>& setEntries,
                                     const std::string& programPath) {
    saver::SaverSettings s;
    s.szImagePath = programPath;
    s.szINI = programPath + imagesets::kRegistryFile;
    s.szScrIni = programPath + imagesets::kSettingsFile;
    const std::string* set = at(setEntries, v.setIndex);
    s.szCurrentSet = set ? *set : std::string();
    s.bUseAll = s.szCurrentSet == kRandomSetsEntry;
    s.nTimeBetween = v.imageDelay;
    const std::string* language = at(languageNames(), v.language);
    s.szLanguage = language ? *language : "English";
    s.bTitles = v.showTitle ? 1 : 0;
    s.bDescriptive = v.showText ? 1 : 0;
    s.nDescriptiveDelay = v.infoTime;
    s.nTransition = v.transition;
    s.nPanSpeed = 255 - v.panSlider;
    s.bStretch2Fit = v.stretch;
    s.bSameOnAllScreens = v.sameOnAllScreens;
    s.bCalender = v.calendarOn;
    if (const ListItem* size = at(calendarSizes(), v.calendarSize))
        s.CalSize = size->value;
    if (const ListItem* pos = at(calendarPositions(), v.calendarPosition))
        s.CalPos = pos->value;
    s.Panamotion = v.panEnable;
    s.bSetUp = true;
    s.bUsePassword = false;
    return s;
}

void runSaverPreview(saver::SaverSettings settings, bool asMinutes) {
    // The saver notes its last picture in the settings file; a preview must
    // leave that file alone, so it works on a copy.
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        logWarning("config",
                   "no scratch folder for the preview: " + scratch.errorString().toStdString());
        return;
    }
    const std::string copy = scratch.filePath(imagesets::kSettingsFile).toStdString();
    std::error_code ec;
    if (std::filesystem::exists(settings.szScrIni, ec))
        std::filesystem::copy_file(settings.szScrIni, copy, ec);
    if (ec)
        logWarning("config", "the preview starts without the settings file: " + ec.message());
    settings.szScrIni = copy;
    settings.bUsePassword = false;
    saver::frmSaver window;
    window.setObjectName("frmSaverPreview");
    window.InitiSaver(settings, asMinutes);
    window.showModal();
}

} // namespace skyloom::config
