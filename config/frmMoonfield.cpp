#include "frmMoonfield.h"

#include "AboutPageLogo.h"
#include "DialogKeys.h"
#include "FirstRunSet.h"
#include "FormControls.h"
#include "PageLists.h"
#include "Syncing.h"
#include "frmPleaseWait.h"
#include "imagesets/maker/SetMaker.h"

#include "common/DateText.h"
#include "common/Log.h"
#include "common/Profile.h"
#include "common/Startup.h"
#include "graphics/io/PictureFile.h"
#include "imagesets/Startup.h"
#include "platform/Locations.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "platform/System.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>

namespace skyloom::config {

using namespace controls;

frmMoonfield::frmMoonfield(QWidget* parent) : QWidget(parent), pageChanged_(PageCount, false) {
    setObjectName("frmMoonfield");
    setWindowTitle(tr("Moonfield Configuration"));
    setWindowFlags(Qt::Window | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    auto* layout = new QVBoxLayout(this);
    SSTabPages_ = named(new QTabWidget(this), "SSTabPages");
    SSTabPages_->addTab(buildScreenSaverPage(), tr("Screen Saver"));
    SSTabPages_->addTab(buildWallpaperPage(), tr("Wallpaper"));
    SSTabPages_->addTab(buildEditSetsPage(), tr("Edit Sets"));
    SSTabPages_->addTab(buildAboutPage(), tr("About"));
    layout->addWidget(SSTabPages_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdOk_ = named(new QPushButton(tr("OK"), this), "cmdOk");
    cmdCancel_ = named(new QPushButton(tr("Cancel"), this), "cmdCancel");
    cmdApply_ = named(new QPushButton(tr("Apply"), this), "cmdApply");
    cmdApply_->setEnabled(false);
    for (QPushButton* b : {cmdOk_, cmdCancel_, cmdApply_})
        buttons->addWidget(b);
    layout->addLayout(buttons);

    connect(cmdOk_, &QPushButton::clicked, this, &frmMoonfield::okClicked);
    connect(cmdCancel_, &QPushButton::clicked, this, &QWidget::close);
    connect(cmdApply_, &QPushButton::clicked, this, &frmMoonfield::applyClicked);
    connect(SSTabPages_, &QTabWidget::currentChanged, this, &frmMoonfield::pageSelected);
    connectScreenSaverPage();
    connectWallpaperPage();
    connectEditSetsPage();
    // Return presses OK and Escape Cancel (while offered), as in any dialog.
    installDialogKeys(this, cmdOk_, cmdCancel_);
}

frmMoonfield::~frmMoonfield() = default;

// ---------------------------------------------------------------------------
// Screen Saver page

QWidget* frmMoonfield::buildAboutPage() {
    auto* page = named(new QWidget, "pageAbout");
    auto* layout = new QHBoxLayout(page);

    auto* left = new QVBoxLayout;
    left->addWidget(label("lblProgramName", QString::fromStdString(programTitle()), page));
    imgLogo_ = label("imgLogo", QString(), page);
    imgLogo_->setAccessibleName(tr("Logo"));
    imgLogo_->setAlignment(Qt::AlignCenter);
    picSkyloomLogo_ = label("picSkyloomLogo", QString(), page);
    picSkyloomLogo_->setPixmap(skyloomLogo(QSize(240, 120)));
    picSkyloomLogo_->setAccessibleName(tr("Skyloom"));
    picSkyloomLogo_->hide();
    left->addWidget(imgLogo_);
    left->addWidget(picSkyloomLogo_);
    lblMoreInfo_ = label("lblMoreInfo", QString(), page);
    lblMoreInfo_->setWordWrap(true);
    lblMoreInfo_->setTextFormat(Qt::PlainText);
    left->addWidget(lblMoreInfo_);

    auto* company = frame("frmCompany", tr("Company"), page);
    auto* info = new QVBoxLayout(company);
    const auto plain = [company](const char* name) {
        QLabel* l = label(name, "", company);
        l->setTextFormat(Qt::PlainText);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return l;
    };
    // The two addresses are links: a click, or Tab and Enter, opens them.
    const auto link = [company](const char* name) {
        QLabel* l = label(name, "", company);
        l->setTextFormat(Qt::RichText);
        l->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
        return l;
    };
    lblCompanyName_ = plain("lblCompanyName");
    lblAddress_ = plain("lblAddress");
    lblCityStateZip_ = plain("lblCityStateZip");
    lblPhone_ = plain("lblPhone");
    lblWebAddress_ = link("lblWebAddress");
    auto* supportRow = new QHBoxLayout;
    Label4_ = label("Label4", tr("Support:"), company);
    lblSupport_ = link("lblSupport");
    supportRow->addWidget(Label4_);
    supportRow->addWidget(lblSupport_, 1);
    lblPhoneSupport_ = plain("lblPhoneSupport");
    for (QLabel* l : {lblCompanyName_, lblAddress_, lblCityStateZip_, lblPhone_, lblWebAddress_})
        info->addWidget(l);
    info->addLayout(supportRow);
    info->addWidget(lblPhoneSupport_);
    cmdVisitUs_ = named(new QPushButton(company), "cmdVisitUs");
    cmdVisitUs_->hide();
    info->addWidget(cmdVisitUs_, 0, Qt::AlignLeft);
    left->addWidget(company);
    left->addStretch();
    layout->addLayout(left, 1);

    auto* right = new QVBoxLayout;
    auto* setLabel = label("lblAboutSets", tr("Image set:"), page);
    cmboAboutSets_ = named(new QComboBox(page), "cmboAboutSets");
    cmboAboutSets_->setToolTip(tr("Click here to get information about a particular image set."));
    standsFor(setLabel, cmboAboutSets_);
    right->addWidget(setLabel);
    right->addWidget(cmboAboutSets_);
    picAboutThumbnail_ = label("picAboutThumbnail", QString(), page);
    picAboutThumbnail_->setMinimumSize(160, 120);
    picAboutThumbnail_->setFrameShape(QFrame::StyledPanel);
    picAboutThumbnail_->setAlignment(Qt::AlignCenter);
    picAboutThumbnail_->setAccessibleName(tr("Thumbnail"));
    right->addWidget(picAboutThumbnail_);
    lblBitDepth_ = label("lblBitDepth", QString(), page);
    right->addWidget(lblBitDepth_);
    right->addStretch();
    layout->addLayout(right);

    aboutThumbnailTimer_ = new QTimer(this);
    aboutThumbnailTimer_->setObjectName("tmrAboutThumbnail");
    aboutThumbnailTimer_->setInterval(1500);

    connect(cmboAboutSets_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!syncing_)
            cmboAboutSets_Click(index);
    });
    const auto open = [](const std::string& shown) {
        // Addresses that cannot be opened are ignored (the opener logs them).
        if (const std::string address = addressToOpen(shown); !address.empty())
            platform::openUrl(address);
    };
    connect(lblWebAddress_, &QLabel::linkActivated, this,
            [this, open] { open(about_.webAddress); });
    connect(lblSupport_, &QLabel::linkActivated, this, [this, open] { open(about_.support); });
    connect(cmdVisitUs_, &QPushButton::clicked, this, [this] {
        if (!about_.visitAddress.empty())
            platform::openUrl(addressToOpen(about_.visitAddress));
    });
    connect(aboutThumbnailTimer_, &QTimer::timeout, this, &frmMoonfield::aboutThumbnailStep);
    return page;
}

void frmMoonfield::cmboAboutSets_Click(int index) {
    about_.cmboAboutSets_Click(index);
    showAboutPage();
    if (isVisible())
        aboutThumbnailStep();
}

void frmMoonfield::LoadAboutPage() {
    about_.LoadAboutPage(platform::displayBitsPerPixel());
    showAboutPage();
}

void frmMoonfield::showAboutPage() {
    const auto qs = [](const std::string& s) { return QString::fromStdString(s); };
    const auto linkText = [&qs](const std::string& s) {
        return s.empty() ? QString() : "<a href=\"#\">" + qs(s).toHtmlEscaped() + "</a>";
    };
    {
        Syncing guard(syncing_);
        if (comboEntries(cmboAboutSets_) != about_.sets)
            fillSets(cmboAboutSets_, about_.sets);
        cmboAboutSets_->setCurrentIndex(about_.setIndex);
    }
    const QSize logoSize = picSkyloomLogo_->pixmap().size();
    imgLogo_->setPixmap(about_.logoPath.empty()
                            ? picSkyloomLogo_->pixmap()
                            : aboutLogo(about_.logoPath, logoSize)
                                  .scaled(logoSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    lblBitDepth_->setText(qs(about_.bitDepth));
    lblMoreInfo_->setText(qs(about_.moreInfo));
    lblWebAddress_->setText(linkText(about_.webAddress));
    lblWebAddress_->setAccessibleName(qs(about_.webAddress));
    lblCompanyName_->setText(qs(about_.companyName));
    lblAddress_->setText(qs(about_.address));
    lblCityStateZip_->setText(qs(about_.cityStateZip));
    lblPhone_->setText(qs(about_.phone));
    lblSupport_->setText(linkText(about_.support));
    lblSupport_->setAccessibleName(qs(about_.support));
    // An empty address is no stop for the Tab key.
    lblWebAddress_->setFocusPolicy(about_.webAddress.empty() ? Qt::NoFocus : Qt::StrongFocus);
    lblSupport_->setFocusPolicy(about_.support.empty() ? Qt::NoFocus : Qt::StrongFocus);
    Label4_->setVisible(about_.supportCaptionShown);
    lblPhoneSupport_->setText(qs(about_.phoneSupport));
    cmdVisitUs_->setText(qs(about_.visitCaption));
    // Named even while hidden without a caption, as the accessibility tree
    // lists hidden controls too.
    cmdVisitUs_->setAccessibleName(about_.visitShown ? QString() : tr("Visit web site"));
    cmdVisitUs_->setVisible(about_.visitShown);
    cmdVisitUs_->setEnabled(about_.visitShown);
    picAboutThumbnail_->clear();
}

void frmMoonfield::aboutThumbnailStep() {
    if (!isVisible())
        return;
    const QSize box = picAboutThumbnail_->minimumSize();
    about_.thumbnailStep([this, box](const std::string& path) {
        QPixmap picture(QString::fromStdString(path));
        if (picture.isNull())
            return false;
        picAboutThumbnail_->setPixmap(
            picture.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        return true;
    });
}

// ---------------------------------------------------------------------------
// Set lists

void frmMoonfield::InitLists() {
    randomWPSets_ = wallpaper_.InitSetList();
    if (screenSaver_)
        screenSaver_->setSetEntries(setListEntries(library_.Sets()));
    showImageList();
    editSetsInitLists();
    about_.InitSetList();
    showAboutPage();
}

void frmMoonfield::UpdateLists() {
    const auto entries = setListEntries(library_.Sets());
    const std::string wallpaperSet = wallpaper_.setEntry();
    wallpaper_.sets = entries;
    wallpaper_.SelectSet(restoredSetIndex(entries, wallpaperSet, randomWPSets_));
    showImageList();
    if (screenSaver_) {
        ScreenSaverSettings& v = screenSaver_->values();
        const auto& old = screenSaver_->setEntries();
        const std::string saverSet = v.setIndex >= 0 && v.setIndex < static_cast<int>(old.size())
                                         ? old[static_cast<std::size_t>(v.setIndex)]
                                         : std::string();
        screenSaver_->setSetEntries(entries);
        v.setIndex = restoredSetIndex(entries, saverSet, screenSaver_->bRandomSets);
        Syncing guard(syncing_);
        fillSets(cmboSS_SetsToUse_, entries);
        cmboSS_SetsToUse_->setCurrentIndex(v.setIndex);
    }
    editSetsUpdateLists();
    about_.UpdateSetList();
    showAboutPage();
}

// ---------------------------------------------------------------------------
// Frame

void frmMoonfield::setStartingTab(int tab) {
    if (tab >= 0 && tab < SSTabPages_->count())
        SSTabPages_->setCurrentIndex(tab);
    SSTabScreenSaver_->setCurrentIndex(0);
    SSTabWallPaper_->setCurrentIndex(0);
}

int frmMoonfield::currentPage() const {
    return SSTabPages_->currentIndex();
}

bool frmMoonfield::PageChanged(int page) const {
    return page >= 0 && page < PageCount && pageChanged_[static_cast<std::size_t>(page)];
}

void frmMoonfield::pageSelected(int page) {
    cmdApply_->setEnabled(PageChanged(page));
    editSetsPageSelected(page);
    // The About page is always current when shown, and rotates the chosen
    // set's pictures while it is.
    if (page == About) {
        cmboAboutSets_Click(cmboAboutSets_->currentIndex());
        aboutThumbnailTimer_->start();
    } else {
        aboutThumbnailTimer_->stop();
    }
}

void frmMoonfield::SetApply() {
    if (!isVisible())
        return;
    cmdApply_->setEnabled(true);
    const int page = currentPage();
    if (page >= 0 && page < PageCount)
        pageChanged_[static_cast<std::size_t>(page)] = true;
}

void frmMoonfield::SavePage(int page) {
    if (page < 0 || page >= PageCount)
        return;
    pageChanged_[static_cast<std::size_t>(page)] = false;
    switch (page) {
    case ScreenSaver:
        SetScreenSaverInfo();
        break;
    case Wallpaper: {
        frmPleaseWait notice;
        notice.show();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        SetWallpaper();
        notice.hide();
        break;
    }
    case EditSets:
        if (!library_.SaveSetsInfo()) {
            logWarning("config", "the image-set choices could not be saved");
            pageChanged_[EditSets] = true;
            platform::MessageBox(tr("The image-set choices could not be saved.").toStdString());
        }
        break;
    default:
        break;
    }
}

void frmMoonfield::okClicked() {
    for (int page = 0; page < PageCount; ++page)
        if (PageChanged(page))
            SavePage(page);
    close();
}

void frmMoonfield::applyClicked() {
    cmdApply_->setEnabled(false);
    SavePage(currentPage());
}

namespace {

// Shows how far the first image set has got, in the wallpaper notice's
// place; the work is short (links and small previews), so it runs here and
// lets the notice repaint after every picture.
class NoticeProgress : public mkset::Progress {
public:
    void begin(int total) override {
        total_ = total;
        label_ = new QLabel;
        label_->setObjectName("lblFirstRunProgress");
        label_->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        label_->setMargin(16);
        label_->setText(QCoreApplication::translate("skyloom::config::frmMoonfield",
                                                    "Preparing your first pictures..."));
        label_->show();
        QCoreApplication::processEvents();
    }
    void step(int done, std::string_view) override {
        label_->setText(QCoreApplication::translate("skyloom::config::frmMoonfield",
                                                    "Preparing your first pictures... %1 of %2")
                            .arg(done)
                            .arg(total_));
        QCoreApplication::processEvents();
    }
    void end() override {
        delete label_;
        label_ = nullptr;
    }
    ~NoticeProgress() override { delete label_; }

private:
    QLabel* label_ = nullptr;
    int total_ = 0;
};

} // namespace

void frmMoonfield::makeFirstRunSetWithNotice() {
    const std::string dir = platform::GetProgramPath();
    if (!QGuiApplication::instance() || QGuiApplication::platformName() == "offscreen") {
        makeFirstRunSet(dir, nullptr);
        return;
    }
    NoticeProgress progress;
    makeFirstRunSet(dir, &progress);
}

bool frmMoonfield::initialise() {
    if (initialised_)
        return initResult_;
    initialised_ = true;
    windowsDir_ = platform::GetWindowsDir() + "/";
    if (const QSize pixels = screenPixels(); pixels.isValid()) {
        maxWidth_ = std::min(1024, pixels.width());
        maxHeight_ = std::min(768, pixels.height());
    }
    makeFirstRunSetWithNotice();
    initResult_ = imagesets::RefreshImageSets(library_);
    programPath_ = library_.ProgramPath();
    if (!initResult_)
        return false;
    screenSaver_ =
        std::make_unique<ScreenSaverPage>(library_.SettingsPath(), windowsDir_ + "Skyloom.scr");
    InitLists();
    InitWallpaperPage();
    LoadScreenSaverPage();
    // The built-in caption speaks the user's language; one from config.ini
    // stands as written.
    const std::string title = LoadWindowTitles(programPath_);
    setWindowTitle(title == "Screen Saver Configuration" ? tr("Screen Saver Configuration")
                                                         : QString::fromStdString(title));
    // First run: the defaults the pages show become the stored settings, so
    // the saver and the wallpaper setter find them (the About page has
    // nothing to save).
    if (bFirstRun())
        for (int page = 0; page < PageCount - 1; ++page)
            if (PageChanged(page))
                SavePage(page);
    return true;
}

} // namespace skyloom::config
