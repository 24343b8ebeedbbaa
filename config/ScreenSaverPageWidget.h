#pragma once
// The dialog's "Screen Saver" page: its controls over the ScreenSaverPage
// model, the rotating thumbnail of the chosen set and the saver preview.

#include "config/ScreenSaverPage.h"

#include <QCoreApplication>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;
class QTabWidget;
class QTimer;
class QVBoxLayout;

namespace skyloom::platform {
class MonitorWatch;
}

namespace skyloom::config {

class ConfigSession;
class ThumbnailCycle;

class ScreenSaverPageWidget : public QWidget {
    // The page's texts keep the dialog's translation context.
    Q_DECLARE_TR_FUNCTIONS(skyloom::config::frmMoonfield)
public:
    explicit ScreenSaverPageWidget(ConfigSession& session, QWidget* parent = nullptr);
    ~ScreenSaverPageWidget() override;

    /// A control changed the model (the frame marks the page changed).
    std::function<void()> edited;
    /// Whether the dialog shows this page now (the thumbnail runs only then).
    std::function<bool()> pageCurrent;

    /// Sets every control from the model.
    void showPage();
    /// Refills the set list from the model after the sets changed.
    void showSetList();
    /// Why "Password protected" cannot be switched on, and the password
    /// button's caption.
    void showPasswordProblem();
    void EnableSaverControls(bool on);
    /// Puts the inner tab strip on its first tab.
    void firstInnerTab();
    /// Position of the info panel language list.
    int languageIndex() const;

    /// The rotating thumbnail: its list, its timer and one step.
    const ThumbnailCycle& thumbnailList() const { return *thumbnails_; }
    QTimer* thumbnailTimer() const { return tmrThumbnailChanger_; }
    void tmrThumbnailChanger_Timer();
    /// Starts the thumbnail at once (the dialog was shown).
    void restartThumbnail();
    /// Runs or stops the thumbnail as the page and the saver switch say.
    void updateThumbnailTimer();
    /// Refills the thumbnail list for the chosen set.
    void cmboSS_SetsToUse_Click();
    /// Runs the saver full screen with the page's current values; `other`
    /// (a timer of another page) pauses meanwhile too.
    void cmdSSPreview_Click(QTimer* other);
    /// "&Preview" was pressed.
    std::function<void()> previewRequested;

private:
    void buildSwitches(QVBoxLayout* layout);
    QWidget* buildBasicTab();
    QWidget* buildCalendarTab();
    QWidget* buildPanTab();
    QWidget* buildWebTab();
    void connectControls();
    void setSaverState(bool on);
    void setPanoramic(bool on);
    ScreenSaverPage* model() const;
    bool windowShown() const;

    ConfigSession& session_;
    int syncing_ = 0; ///< >0 while the widgets are being set from the model

    QGroupBox* SSFrame1_ = nullptr;
    QRadioButton* optSSOn_ = nullptr;
    QRadioButton* optSSOff_ = nullptr;
    QCheckBox* chkPasswordProtected_ = nullptr;
    QPushButton* cmdChangePassword_ = nullptr;
    QLabel* lblPasswordProblem_ = nullptr; ///< why no password could end the lock
    QGroupBox* frmSaverDelay_ = nullptr;
    QSpinBox* nbsSaverDelay_ = nullptr;
    QTabWidget* SSTabScreenSaver_ = nullptr;
    QComboBox* cmboSS_SetsToUse_ = nullptr;
    QSpinBox* nbsImageDelay_ = nullptr;
    QRadioButton* optSSSeconds_ = nullptr;
    QRadioButton* optSSMinutes_ = nullptr;
    QComboBox* cmboTransitions_ = nullptr;
    QCheckBox* chkShowTitles_ = nullptr;
    QCheckBox* chkShowDescriptive_ = nullptr;
    QComboBox* cmboSSLanguage_ = nullptr;
    QSpinBox* nbsInfoPanelShows_ = nullptr;
    QCheckBox* chkSSFit2Screen_ = nullptr;
    QCheckBox* chkSameOnAllScreens_ = nullptr; ///< only with several monitors
    platform::MonitorWatch* monitors_ = nullptr;
    QRadioButton* optCalendarOn_ = nullptr;
    QRadioButton* optCalendarOff_ = nullptr;
    QComboBox* cmboCalendarSize_ = nullptr;
    QComboBox* cmboCalendarPosition_ = nullptr;
    QRadioButton* optPanaMotionOn_ = nullptr;
    QRadioButton* optPanaMotionOff_ = nullptr;
    QGroupBox* SSFrame5_ = nullptr;
    QSlider* sldrPanSpeed_ = nullptr;
    QGroupBox* frmWebLinker_ = nullptr;
    QRadioButton* optWebLinkOn_ = nullptr;
    QRadioButton* optWebLinkOff_ = nullptr;
    QPushButton* cmdSSPreview_ = nullptr;
    QLabel* picSSThumbNail_ = nullptr;
    std::vector<QWidget*> saverControls_; ///< what EnableSaverControls switches

    QTimer* tmrThumbnailChanger_ = nullptr;
    std::unique_ptr<ThumbnailCycle> thumbnails_;
};

} // namespace skyloom::config
