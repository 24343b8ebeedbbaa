#include "frmMoonfield.h"

#include "common/DateText.h"
#include "common/Log.h"
#include "common/Profile.h"
#include "common/Startup.h"
#include "imagesets/Startup.h"
#include "platform/Locations.h"
#include "platform/Registry.h"

#include "frmChangePassword.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
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
    buildPasswordControls(SSTabPages_->widget(0));
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

void frmMoonfield::buildPasswordControls(QWidget* page) {
    // Linux has no desktop dialog where password protection is switched on:
    // it lives here, beside the saver's on/off choice. Only X11 sessions can
    // be locked, so elsewhere it is not offered.
    auto* layout = new QVBoxLayout(page);
    auto* frame = new QGroupBox(page);
    frame->setObjectName("SSFrame1");
    auto* row = new QHBoxLayout(frame);
    chkPasswordProtected_ = new QCheckBox("Password protected", frame);
    chkPasswordProtected_->setObjectName("chkPasswordProtected");
    cmdChangePassword_ = new QPushButton("Change password...", frame);
    cmdChangePassword_->setObjectName("cmdChangePassword");
    row->addWidget(chkPasswordProtected_);
    row->addWidget(cmdChangePassword_);
    row->addStretch();
    layout->addWidget(frame);
    layout->addStretch();
    const bool lockable =
        QGuiApplication::platformName() == "xcb" || QGuiApplication::platformName() == "offscreen";
    frame->setVisible(lockable);
    chkPasswordProtected_->setChecked(platform::screenSaveUsePassword());
    connect(chkPasswordProtected_, &QCheckBox::toggled, this, [](bool on) {
        platform::writeRegistryValue(platform::kDesktopKey, "ScreenSaveUsePassword",
                                     on ? "1" : "0");
    });
    connect(cmdChangePassword_, &QPushButton::clicked, this, [this] {
        frmChangePassword dialog(this);
        dialog.exec();
    });
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
