#pragma once
// The tray changer: a tray icon with its two menus and the timer that runs
// the schedule. It never shows a window of its own. The schedule decides
// (Schedule); this object only wires the icon, the menus and the timer to it
// and starts skyloom (SkyloomStarter).

#include "Schedule.h"
#include "SkyloomStarter.h"

#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>

#include <functional>
#include <string>

class QAction;

namespace skyloom::tray {

/// The icon's tooltip and the program's title (English; shown translated in
/// kTrayContext).
inline constexpr const char* kTooltip = QT_TRANSLATE_NOOP("skyloom::tray", "Wallpaper Changer");
inline constexpr const char* kTrayContext = "skyloom::tray";

class frmPlaceHolder : public QObject {
    Q_OBJECT
public:
    struct Options {
        std::string szIniFile;             // settings file
        Clock clock;                       // empty: the system clock
        std::string windowsDir;            // folder of the "Skyloom.scr" link
        std::string besideDir;             // folder of this program
        SkyloomStarter::Launcher launcher; // empty: a detached start
        /// Tells the user something (summary, body); empty: a desktop
        /// notification.
        std::function<void(const std::string&, const std::string&)> notify;
        /// How long a missing tray may take to appear (a panel started
        /// after us at login) before the user is told there is none.
        int noTrayGraceMs = 10000;
    };

    explicit frmPlaceHolder(Options options, QObject* parent = nullptr);
    ~frmPlaceHolder() override;

    /// Shows the tray icon with icon 101 and starts `Timer1` (first tick
    /// after 100 ms).
    void Form_Load();

    void StartNextWallpaper();
    void StartCalendarRefresh();
    void StartWallpaperSettings();

    // What the tray icon reports. The menu is the icon's context menu, so
    // that trays showing a D-Bus menu show it too; with a Shift, Ctrl or Alt
    // key held it holds only the close entry.
    void TrayX1_MouseDown(Qt::KeyboardModifiers shift);
    void TrayX1_DblClick();

    /// A command of the control channel ("next", "pause", "resume",
    /// "status", "quit"): what was done, or with `ok` false why not.
    std::string Control(const std::string& command, bool& ok);
    /// True while automatic changes run (the menu item has its tick).
    bool active() const;

    QSystemTrayIcon& TrayX1() { return TrayX1_; }
    QTimer& Timer1() { return Timer1_; }
    Schedule& schedule() { return schedule_; }
    QMenu& mnuProp() { return mnuProp_; }
    QMenu& mnuClose() { return mnuClose_; }
    QAction* mnuProp_AutoChangState() const { return mnuProp_AutoChangState_; }
    /// Number of the icon on show (101 or 103).
    int iconShown() const { return iconShown_; }

private:
    void Timer1_Timer();
    void mnuProp_AutoChangState_Click();
    void applyTimer();
    void setIcon(int id);
    void setActive(bool active);
    void start(const char* sw);
    void checkTray();

    Schedule schedule_;
    SkyloomStarter starter_;
    QSystemTrayIcon TrayX1_;
    QTimer Timer1_;
    QMenu mnuProp_;
    QMenu mnuClose_;
    QAction* mnuProp_NextWallpaper_ = nullptr;
    QAction* mnuProp_Change_ = nullptr;
    QAction* mnuProp_AutoChangState_ = nullptr;
    QAction* mnuClose_Close_ = nullptr;
    std::function<void(const std::string&, const std::string&)> notify_;
    int noTrayGraceMs_ = 0;
    int iconShown_ = 0;
    int loggedPeriod_ = -2; // the schedule last logged: a period in ms, -1 paused
};

} // namespace skyloom::tray
