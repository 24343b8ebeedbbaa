#include "AboutPage.h"

#include "Credits.h"

#include "common/IniDocument.h"
#include "common/Log.h"
#include "common/Profile.h"
#include "common/ProgramInfo.h"
#include "imagesets/SetFiles.h"
#include "platform/System.h"

#include <QCoreApplication>

#include <algorithm>

namespace skyloom::config {

namespace {

constexpr const char* kLog = "config";

std::string iniText(std::string_view section, std::string_view key, const std::string& file) {
    if (file.empty())
        return {};
    return trimBlanks(imagesets::fromIniText(ReadIniString(section, key, "", file)));
}

// A picture named in a settings file, below `base`: "\" separators and
// letter case as written on Windows are accepted, a path leading outside
// `base` is not.
std::string pictureBelow(const std::string& base, const std::string& rel) {
    imagesets::PathResolver resolver;
    if (auto found = resolver.resolve(base, rel))
        return *found;
    logInfo(kLog, "About-page picture not found: " + base + rel);
    return {};
}

} // namespace

AboutPage::AboutPage(const imagesets::SetLibrary& library) : library_(&library) {}

void AboutPage::InitSetList() {
    sets.clear();
    library_->Sets().GetIncludedSetNames(sets);
    cmboAboutSets_Click(sets.empty() ? -1 : 0);
}

void AboutPage::UpdateSetList() {
    std::vector<std::string> included;
    if (library_->Sets().GetIncludedSetNames(included) == 0)
        return;
    for (const auto& name : included)
        if (std::find(sets.begin(), sets.end(), name) == sets.end())
            sets.push_back(name);
    if (setIndex < 0 && !sets.empty())
        cmboAboutSets_Click(0);
}

void AboutPage::cmboAboutSets_Click(int index) {
    thumbnails.clear();
    thumbnailIndex_ = 0;
    setFolder.clear();
    setIndex = index >= 0 && index < static_cast<int>(sets.size()) ? index : -1;
    if (setIndex >= 0) {
        if (auto set = library_->Sets().GetSet(sets[static_cast<std::size_t>(setIndex)])) {
            setFolder = library_->ProgramPath() + set->SetDirectory();
            for (int i = 1; i <= set->IncludedCount(); ++i)
                if (auto picture = set->IncludedImage(i))
                    thumbnails.push_back(
                        imagesets::setFilePath(setFolder + picture->FileName(), ".bmp"));
        }
    }
    LoadAboutPage(platform::displayBitsPerPixel());
    SetWebButton();
}

void AboutPage::LoadAboutPage(int bitsPerPixel) {
    const std::string program = library_->ProgramPath();
    const std::string saver = library_->SettingsPath();
    const std::string company =
        setFolder.empty() ? std::string() : existingFile(setFolder + "company.ini");

    logoPath.clear();
    const std::string setLogo = iniText("About", "aboutTab", company);
    if (!setLogo.empty()) {
        logoPath = pictureBelow(setFolder, setLogo);
    } else if (const std::string saverLogo = iniText("About", "aboutTab", saver);
               !saverLogo.empty() && !program.empty()) {
        logoPath = pictureBelow(program, saverLogo);
    }

    bitDepth = QCoreApplication::translate("skyloom::config::AboutPage", "%1 Bit Color")
                   .arg(bitsPerPixel)
                   .toStdString();
    moreInfo = iniText("Company", "Introduction", company);
    webAddress = iniText("Company", "Web Site", company);
    companyName = iniText("Company", "Company Name", company);
    address = iniText("Company", "Street Address", company);
    cityStateZip = iniText("Company", "City State Zip", company);
    phone = iniText("Company", "Phone", company);

    support = iniText("About", "supportURL", company);
    if (support.empty())
        support = iniText("About", "supportURL", saver);
    supportCaptionShown = !support.empty();

    std::string callBack = iniText("About", "supportPhone", company);
    if (callBack.empty())
        callBack = iniText("About", "supportPhone", saver);
    phoneSupport = callBack.empty() ? std::string()
                                    : QCoreApplication::translate("skyloom::config::AboutPage",
                                                                  "Call-back support: %1")
                                          .arg(QString::fromStdString(callBack))
                                          .toStdString();
}

void AboutPage::SetWebButton() {
    visitCaption.clear();
    visitAddress.clear();
    if (!setFolder.empty()) {
        const std::string company = existingFile(setFolder + "company.ini");
        const std::string saver = library_->SettingsPath();
        struct Source {
            const char* section;
            const char* addressKey;
            const std::string& file;
        };
        const Source sources[] = {{"WebLinker", "CompanyURL", company},
                                  {"Company", "Web Site", company},
                                  {"Company", "Web Site", saver}};
        for (const Source& s : sources) {
            std::string caption = iniText(s.section, "webButton", s.file);
            if (!caption.empty()) {
                visitCaption = std::move(caption);
                visitAddress = iniText(s.section, s.addressKey, s.file);
                break;
            }
        }
    }
    visitShown = !visitCaption.empty();
}

bool AboutPage::thumbnailStep(const std::function<bool(const std::string&)>& load) {
    const int n = static_cast<int>(thumbnails.size());
    for (int tries = 0; tries < n; ++tries) {
        thumbnailIndex_ = ((thumbnailIndex_ + 1) % n) + 1;
        if (load(thumbnails[static_cast<std::size_t>(thumbnailIndex_ - 1)]))
            return true;
    }
    return false;
}

std::string addressToOpen(const std::string& shown) {
    const std::string text = trimBlanks(shown);
    if (text.empty())
        return {};
    const std::string lower = asciiLower(text);
    if (text.find("://") != std::string::npos || lower.rfind("mailto:", 0) == 0)
        return text;
    if (text.find('@') != std::string::npos && text.find('/') == std::string::npos)
        return "mailto:" + text;
    return "http://" + text;
}

std::string programTitle() {
    return "Moonfield Screen Saver " + programVersion();
}

} // namespace skyloom::config
