#include "frmMoonfield.h"

#include "common/DateText.h"
#include "common/Log.h"
#include "common/Profile.h"
#include "common/Startup.h"
#include "imagesets/Startup.h"
#include "platform/Locations.h"
#include "platform/Registry.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace skyloom::config {

frmMoonfield::frmMoonfield(QWidget* parent) : QWidget(parent) {
    setObjectName("frmMoonfield");
    setWindowTitle("Moonfield Configuration");
    setWindowFlags(Qt::Window | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    auto* layout = new QVBoxLayout(this);
    SSTabPages_ = new QTabWidget(this);
    SSTabPages_->setObjectName("SSTabPages");
    for (const char* page : {"Screen Saver", "Wallpaper", "Edit Sets", "About"}) {
        auto* w = new QWidget(SSTabPages_);
        SSTabPages_->addTab(w, page);
    }
    layout->addWidget(SSTabPages_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdOk_ = new QPushButton("OK", this);
    cmdOk_->setObjectName("cmdOk");
    cmdCancel_ = new QPushButton("Cancel", this);
    cmdCancel_->setObjectName("cmdCancel");
    cmdApply_ = new QPushButton("Apply", this);
    cmdApply_->setObjectName("cmdApply");
    cmdApply_->setEnabled(false);
    for (QPushButton* b : {cmdOk_, cmdCancel_, cmdApply_})
        buttons->addWidget(b);
    layout->addLayout(buttons);
    connect(cmdOk_, &QPushButton::clicked, this, &QWidget::close);
    connect(cmdCancel_, &QPushButton::clicked, this, &QWidget::close);
    resize(520, 420);
}

void frmMoonfield::setStartingTab(int tab) {
    if (tab >= 0 && tab < SSTabPages_->count())
        SSTabPages_->setCurrentIndex(tab);
}

int frmMoonfield::currentPage() const {
    return SSTabPages_->currentIndex();
}

bool frmMoonfield::initialise() {
    if (initialised_)
        return initResult_;
    initialised_ = true;
    windowsDir_ = platform::GetWindowsDir() + "/";
    programPath_ = platform::GetProgramPath();
    initResult_ = imagesets::RefreshImageSets(library_);
    setWindowTitle(QString::fromStdString(LoadWindowTitles(programPath_)));
    return initResult_;
}

void frmMoonfield::NextWallpaperImage() {
    initialise();
    logInfo("wallpaper", "next wallpaper picture requested");
    WriteIniString("PrefsWP", "LastChanged", currentDateText(), programPath_ + "ScreenSaver.ini");
}

void frmMoonfield::SetWallpaper() {
    initialise();
    logInfo("wallpaper", "wallpaper refresh requested");
}

} // namespace skyloom::config
