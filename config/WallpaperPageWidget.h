#pragma once
// The dialog's "Wallpaper" page: its controls over the WallpaperPage model,
// the picture list with its preview, and the picture's credits.

#include <QCoreApplication>
#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace skyloom::config {

class ConfigSession;
class WallpaperPage;

class WallpaperPageWidget : public QWidget {
    // The page's texts keep the dialog's translation context.
    Q_DECLARE_TR_FUNCTIONS(skyloom::config::frmMoonfield)
public:
    explicit WallpaperPageWidget(ConfigSession& session, QWidget* parent = nullptr);

    /// A control changed the model (the frame marks the page changed).
    std::function<void()> edited;
    /// Position of the info panel language (the credits are in it).
    std::function<int()> creditsLanguage;

    /// Sets every control from the model.
    void showPage();
    /// Refills the set and picture lists from the model.
    void showImageList();
    void WallpaperControlsSetEnable(bool enable);
    /// Puts the inner tab strip on its first tab.
    void firstInnerTab();
    /// "Image Info...": the credits of the page's picture, with the page's
    /// preview, in a modal dialog.
    void cmdImageCredits_Click();

private:
    QWidget* buildBasicTab();
    QWidget* buildCalendarTab();
    void connectControls();
    void showWallpaperPreview();
    WallpaperPage& model() const;

    ConfigSession& session_;
    int syncing_ = 0; ///< >0 while the widgets are being set from the model

    QRadioButton* optWallPaperOn_ = nullptr;
    QRadioButton* optWallPaperOff_ = nullptr;
    QTabWidget* SSTabWallPaper_ = nullptr;
    QComboBox* cmboSets_ = nullptr;
    QListWidget* lstImages_ = nullptr;
    QLabel* picThumbNail_ = nullptr;
    QPushButton* cmdImageCredits_ = nullptr;
    QCheckBox* chkFit2Screen_ = nullptr;
    QCheckBox* chkPerScreen_ = nullptr; ///< shown only with several monitors
    QGroupBox* frmAutoChange_ = nullptr;
    QComboBox* cmboAutoChange_ = nullptr;
    QRadioButton* optWPCalendarOn_ = nullptr;
    QRadioButton* optWPCalendarOff_ = nullptr;
    QComboBox* cmboWPCalendarSize_ = nullptr;
    QComboBox* cmboWPCalendarPosition_ = nullptr;
};

} // namespace skyloom::config
