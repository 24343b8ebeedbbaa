#pragma once
// The configuration dialog: four pages ("Screen Saver", "Wallpaper", "Edit
// Sets", "About") and OK, Cancel and Apply. Start-up also creates it hidden
// to run its initialisation before the saver or a wallpaper change.

#include "imagesets/SetLibrary.h"

#include <QWidget>

#include <string>

class QTabWidget;
class QPushButton;
class QCheckBox;

namespace skyloom::config {

class frmMoonfield : public QWidget {
    Q_OBJECT
public:
    explicit frmMoonfield(QWidget* parent = nullptr);

    /// Page to open: 0 "Screen Saver", 1 "Wallpaper", 2 "Edit Sets", 3 "About".
    void setStartingTab(int tab);
    int currentPage() const;
    /// True when started by the desktop's display settings ("/c").
    bool m_bStartedFromProps = false;

    /// Refreshes the image-set registry, the lists and the stored settings
    /// the saver and the wallpaper setter read. Runs once, shown or not.
    /// False when no image set exists (after saying so): the program ends.
    bool initialise();
    bool initialised() const { return initialised_; }

    /// Picks and installs the next wallpaper picture.
    void NextWallpaperImage();
    /// Renders and installs the wallpaper for the current settings.
    void SetWallpaper();

    const std::string& programPath() const { return programPath_; }
    imagesets::SetLibrary& library() { return library_; }
    const std::string& windowsDirectory() const { return windowsDir_; }

private:
    void buildPasswordControls(QWidget* page);

    QTabWidget* SSTabPages_ = nullptr;
    QCheckBox* chkPasswordProtected_ = nullptr;
    QPushButton* cmdChangePassword_ = nullptr;
    QPushButton* cmdOk_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdApply_ = nullptr;
    std::string programPath_;
    std::string windowsDir_;
    bool initialised_ = false;
    bool initResult_ = false;
    imagesets::SetLibrary library_;
};

} // namespace skyloom::config
