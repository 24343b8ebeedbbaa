// The desktop's own wallpaper: what each backend reads and writes back, the
// record that keeps it (once, per desktop, damaged files), and the setter's
// order of record, change and restore.

#include "platform/wallpaper/DesktopBackend.h"
#include "wallpaper/UserWallpaperRecord.h"
#include "wallpaper/WallpaperSetter.h"

#include "common/ProfileFile.h"
#include "tests/support/GuiApp.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>

#include <filesystem>
#include <map>

using namespace skyloom;
using namespace skyloom::platform::wallpaper;
using skyloom::wallpaper::RestoreStatus;
using skyloom::wallpaper::UserWallpaperRecord;
using skyloom::wallpaper::WallpaperSetter;
namespace fs = std::filesystem;

namespace {

CommandResult answer(std::string out, int exitCode = 0) {
    CommandResult r;
    r.started = true;
    r.exitCode = exitCode;
    r.out = std::move(out);
    return r;
}

// Records every command; answers whole commands from a table, everything
// else with success and no output.
class ScriptedRunner : public CommandRunner {
public:
    CommandResult run(const Command& command, std::chrono::milliseconds) override {
        commands.push_back(command);
        auto found = answers.find(command);
        return found != answers.end() ? found->second : answer({});
    }
    bool available(const std::string&) override { return false; }
    std::int64_t startDetached(const Command& command) override {
        commands.push_back(command);
        return 0;
    }
    bool running(std::int64_t, const std::string&) override { return false; }
    void stop(std::int64_t) override {}
    void pause(std::chrono::milliseconds) override {}

    std::vector<Command> commands;
    std::map<Command, CommandResult> answers;
};

const std::string kGnome = "org.gnome.desktop.background";
const std::string kUserUri = "'file:///usr/share/backgrounds/Lake%20Shore.jpg'";

class RestoreBackendTest : public ::testing::Test {
protected:
    std::unique_ptr<DesktopBackend> backend(BackendKind kind) {
        return makeBackend(kind, runner, dir.path());
    }
    ScriptedRunner runner;
    test::TempDir dir;
};

TEST_F(RestoreBackendTest, GSettingsDesktopsReadTheirKeysAndGetThemBack) {
    runner.answers[{"gsettings", "get", kGnome, "picture-uri"}] = answer(kUserUri + "\n");
    runner.answers[{"gsettings", "get", kGnome, "picture-uri-dark"}] = answer("''\n");
    runner.answers[{"gsettings", "get", kGnome, "picture-options"}] = answer("'zoom'\n");
    const ReadResult read = backend(BackendKind::Gnome)->current();
    ASSERT_TRUE(read.ok) << read.message;
    EXPECT_EQ(read.wallpaper, (SavedWallpaper{"gnome",
                                              true,
                                              {{kGnome + "/picture-uri", kUserUri},
                                               {kGnome + "/picture-uri-dark", "''"},
                                               {kGnome + "/picture-options", "'zoom'"}}}));
    runner.commands.clear();
    SavedWallpaper saved = read.wallpaper;
    // A key of another schema in the record does not reach the desktop.
    saved.settings.push_back({"org.gnome.desktop.screensaver/picture-uri", "'x'"});
    EXPECT_TRUE(backend(BackendKind::Gnome)->restore(saved).ok);
    EXPECT_EQ(runner.commands,
              (std::vector<Command>{{"gsettings", "set", kGnome, "picture-uri", kUserUri},
                                    {"gsettings", "set", kGnome, "picture-uri-dark", "''"},
                                    {"gsettings", "set", kGnome, "picture-options", "'zoom'"}}));

    // MATE and Cinnamon read the keys they set.
    runner.commands.clear();
    EXPECT_EQ(backend(BackendKind::Mate)->current().wallpaper.settings.front().key,
              "org.mate.background/picture-filename");
    EXPECT_EQ(backend(BackendKind::Cinnamon)->current().wallpaper.settings.size(), 2u);
    EXPECT_EQ(runner.commands.back(),
              (Command{"gsettings", "get", "org.cinnamon.desktop.background", "picture-options"}));
}

TEST_F(RestoreBackendTest, AnUnreadableOrUnknownRecordIsHandledSafely) {
    runner.answers[{"gsettings", "get", kGnome, "picture-uri-dark"}] = answer({}, 1);
    const ReadResult read = backend(BackendKind::Gnome)->current();
    EXPECT_FALSE(read.ok);
    EXPECT_NE(read.message.find("exit status 1"), std::string::npos) << read.message;
    // Nothing the desktop knows: a record without its keys is refused.
    EXPECT_FALSE(backend(BackendKind::Gnome)->restore({"gnome", true, {{"other/key", "1"}}}).ok);
    // Not known: the wallpaper is taken away as before.
    runner.commands.clear();
    EXPECT_TRUE(backend(BackendKind::Gnome)->restore({"gnome", false, {}}).ok);
    EXPECT_EQ(runner.commands.back(),
              (Command{"gsettings", "set", kGnome, "picture-options", "none"}));
    // Desktops that cannot be asked say so without starting anything.
    runner.commands.clear();
    for (BackendKind kind : {BackendKind::Sway, BackendKind::File}) {
        const ReadResult r = backend(kind)->current();
        EXPECT_TRUE(r.ok);
        EXPECT_FALSE(r.wallpaper.known);
        EXPECT_EQ(r.wallpaper.backend, backendName(kind));
    }
    EXPECT_TRUE(runner.commands.empty());
    EXPECT_FALSE(makeX11RootBackend(":9999")->current().wallpaper.known);
}

TEST_F(RestoreBackendTest, XfceReadsEveryWorkspaceAndRestoresWhatIsThereNow) {
    const Command list{"xfconf-query", "-c", "xfce4-desktop", "-l", "-p", "/backdrop"};
    const std::string m0 = "/backdrop/screen0/monitor0/workspace0";
    const std::string hdmi = "/backdrop/screen0/monitorHDMI-1/workspace0";
    runner.answers[list] = answer(m0 + "/last-image\n" + m0 + "/image-style\n" + hdmi +
                                  "/color-style\n/backdrop/single-workspace-mode\n");
    runner.answers[{"xfconf-query", "-c", "xfce4-desktop", "-p", m0 + "/last-image"}] =
        answer("/home/u/Pictures/my dog.jpg\n");
    runner.answers[{"xfconf-query", "-c", "xfce4-desktop", "-p", m0 + "/image-style"}] =
        answer("5\n");
    const ReadResult read = backend(BackendKind::Xfce)->current();
    ASSERT_TRUE(read.ok) << read.message;
    EXPECT_EQ(read.wallpaper.settings,
              (std::vector<SavedSetting>{{m0 + "/last-image", "/home/u/Pictures/my dog.jpg"},
                                         {m0 + "/image-style", "5"},
                                         {hdmi + "/last-image", std::nullopt}}));

    // Now HDMI-1 has the image Skyloom created and monitor0 is gone.
    runner.commands.clear();
    runner.answers[list] = answer(hdmi + "/last-image\n");
    EXPECT_TRUE(backend(BackendKind::Xfce)->restore(read.wallpaper).ok);
    const std::string c = "xfce4-desktop";
    EXPECT_EQ(runner.commands,
              (std::vector<Command>{list,
                                    {"xfconf-query", "-c", c, "-p", m0 + "/last-image", "-n", "-t",
                                     "string", "-s", "/home/u/Pictures/my dog.jpg"},
                                    {"xfconf-query", "-c", c, "-p", m0 + "/image-style", "-n", "-t",
                                     "int", "-s", "5"},
                                    {"xfconf-query", "-c", c, "-p", hdmi + "/last-image", "-r"}}));
    // Properties outside the backdrop are never written.
    runner.commands.clear();
    EXPECT_TRUE(
        backend(BackendKind::Xfce)->restore({"xfce", true, {{"/general/lock-screen", "1"}}}).ok);
    EXPECT_EQ(runner.commands, (std::vector<Command>{list}));
}

TEST_F(RestoreBackendTest, LxqtReadsItsSettingsFileWhenItIsPlain) {
    ::setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1);
    const std::string conf = "pcmanfm-qt/lxqt/settings.conf";
    auto lxqt = backend(BackendKind::Lxqt);
    EXPECT_FALSE(lxqt->current().wallpaper.known); // no settings file yet
    dir.write(conf, "[Desktop]\nBgColor=#000000\nWallpaper=/home/u/Pictures/my dog.jpg\n"
                    "WallpaperMode=zoom\n");
    profile::clearCache();
    const ReadResult read = lxqt->current();
    ASSERT_TRUE(read.wallpaper.known);
    ASSERT_TRUE(lxqt->restore(read.wallpaper).ok);
    EXPECT_EQ(runner.commands.back(),
              (Command{"pcmanfm-qt", "--set-wallpaper", "/home/u/Pictures/my dog.jpg",
                       "--wallpaper-mode=zoom"}));
    // Escaped values and unknown modes are not guessed at.
    for (const char* text : {"[Desktop]\nWallpaper=@Invalid()\nWallpaperMode=zoom\n",
                             "[Desktop]\nWallpaper=/a\\\\b.jpg\nWallpaperMode=zoom\n",
                             "[Desktop]\nWallpaper=/a.jpg\nWallpaperMode=--help\n"}) {
        dir.write(conf, text);
        profile::clearCache();
        EXPECT_FALSE(lxqt->current().wallpaper.known) << text;
    }
    EXPECT_TRUE(
        lxqt->restore({"lxqt", true, {{"Wallpaper", "/a.jpg"}, {"WallpaperMode", "-x"}}}).ok);
    EXPECT_EQ(runner.commands.back(), (Command{"pcmanfm-qt", "--wallpaper-mode=color"}));
    ::unsetenv("XDG_CONFIG_HOME");
}

TEST_F(RestoreBackendTest, PlasmaReportsEachDesktopAndGetsItBack) {
    const Command* read = nullptr;
    // The reply of evaluateScript as dbus-send prints it.
    struct Replying : ScriptedRunner {
        CommandResult run(const Command& command, std::chrono::milliseconds t) override {
            ScriptedRunner::run(command, t);
            if (command.back().find("print(") == std::string::npos)
                return answer({});
            return answer("method return time=1.2 sender=:1.5 -> destination=:1.9 serial=7\n"
                          "   string \"skyloom-desktop:0\torg.kde.image\tfile:///home/u/it's.png\t"
                          ":end\nskyloom-desktop:1\torg.kde.color\t\t:end\n\"\n");
        }
    } plasma;
    auto kde = makeBackend(BackendKind::Kde, plasma, dir.path());
    const ReadResult got = kde->current();
    ASSERT_TRUE(got.ok) << got.message;
    EXPECT_EQ(got.wallpaper.settings,
              (std::vector<SavedSetting>{{"desktop0/plugin", "org.kde.image"},
                                         {"desktop0/image", "file:///home/u/it's.png"},
                                         {"desktop1/plugin", "org.kde.color"},
                                         {"desktop1/image", ""}}));
    read = &plasma.commands.front();
    EXPECT_EQ((*read)[5], "org.kde.PlasmaShell.evaluateScript");
    plasma.commands.clear();
    ASSERT_TRUE(kde->restore(got.wallpaper).ok);
    ASSERT_EQ(plasma.commands.size(), 1u);
    const std::string& js = plasma.commands.front().back();
    EXPECT_NE(js.find("all[0].writeConfig('Image', 'file:///home/u/it\\'s.png');"),
              std::string::npos)
        << js;
    EXPECT_NE(js.find("all[1].wallpaperPlugin = 'org.kde.color';"), std::string::npos) << js;
    EXPECT_EQ(js.find("FillMode"), std::string::npos) << "no fill mode was recorded";

    // The fill mode is recorded and put back (a picture shown at its own
    // size set it); one never set goes back to the image plugin's default.
    struct WithFill : ScriptedRunner {
        CommandResult run(const Command& command, std::chrono::milliseconds t) override {
            ScriptedRunner::run(command, t);
            if (command.back().find("print(") == std::string::npos)
                return answer({});
            return answer("   string \"skyloom-desktop:0\torg.kde.image\tfile:///a.png\t1\t:end\n"
                          "skyloom-desktop:1\torg.kde.image\tfile:///b.png\t\t:end\n\"\n");
        }
    } filled;
    auto kdeFilled = makeBackend(BackendKind::Kde, filled, dir.path());
    const ReadResult withFill = kdeFilled->current();
    ASSERT_TRUE(withFill.ok) << withFill.message;
    EXPECT_EQ(withFill.wallpaper.settings[1], (SavedSetting{"desktop0/image", "file:///a.png"}));
    EXPECT_EQ(withFill.wallpaper.settings[2], (SavedSetting{"desktop0/fillmode", "1"}));
    filled.commands.clear();
    ASSERT_TRUE(kdeFilled->restore(withFill.wallpaper).ok);
    const std::string& back = filled.commands.front().back();
    EXPECT_NE(back.find("all[0].writeConfig('FillMode', 1);"), std::string::npos) << back;
    EXPECT_NE(back.find("all[1].writeConfig('FillMode', 2);"), std::string::npos) << back;

    // A reply without desktops is a failure, not an empty record.
    ScriptedRunner silent;
    EXPECT_FALSE(makeBackend(BackendKind::Kde, silent, dir.path())->current().ok);
}

class RecordTest : public ::testing::Test {
protected:
    void SetUp() override { profile::clearCache(); }
    test::TempDir dir;
    std::string path = dir.file("config/skyloom/UserWallpaper.ini");
};

TEST_F(RecordTest, KeepsValuesExactlyOncePerDesktop) {
    UserWallpaperRecord record(path);
    EXPECT_EQ(record.load("gnome").state, UserWallpaperRecord::State::None);
    const SavedWallpaper user{"xfce",
                              true,
                              {{"/backdrop/a=b/last-image", " /p/100% [x]; \"q\" \n"},
                               {"/backdrop/m/last-image", std::nullopt},
                               {"/backdrop/e/last-image", ""}}};
    ASSERT_TRUE(record.keep(user));
    // A second change would record Skyloom's own picture: it is not taken.
    ASSERT_TRUE(record.keep({"xfce", true, {{"/backdrop/a=b/last-image", "/x/Skyloom-a.bmp"}}}));
    ASSERT_TRUE(record.keep({"gnome", false, {}}));
    const auto xfce = record.load("xfce");
    ASSERT_EQ(xfce.state, UserWallpaperRecord::State::Present) << xfce.message;
    EXPECT_EQ(xfce.wallpaper, user);
    const auto gnome = record.load("gnome");
    EXPECT_EQ(gnome.state, UserWallpaperRecord::State::Present);
    EXPECT_FALSE(gnome.wallpaper.known);
    // Forgetting one desktop leaves the other.
    ASSERT_TRUE(record.forget("xfce"));
    EXPECT_EQ(record.load("xfce").state, UserWallpaperRecord::State::None);
    EXPECT_EQ(record.load("gnome").state, UserWallpaperRecord::State::Present);
    EXPECT_TRUE(UserWallpaperRecord(dir.file("none.ini")).forget("gnome"));
}

TEST_F(RecordTest, DamagedRecordsAreReportedNotRead) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"[gnome]\nkey=v:1\n", "no \"state\""},
        {"[gnome]\nstate=maybe\nkey=v:1\n", "no \"state\""},
        {"[gnome]\nstate=known\n", "holds no setting"},
        {"[gnome]\nstate=known\nkey=1\n", "neither a value nor \"absent\""},
        {"[gnome]\nstate=known\nkey=v:%4\n", "bad value"},
        {"[gnome]\nstate=known\nkey=v:%zz\n", "bad value"},
        {"[gnome]\nstate=known\n%G1=v:x\n", "bad key"},
        {std::string("[gnome]\nstate=kno\0\xff\n", 20), "no \"state\""},
    };
    for (const auto& [text, why] : cases) {
        profile::clearCache();
        test::TempDir d;
        d.write("r.ini", text);
        const auto loaded = UserWallpaperRecord(d.file("r.ini")).load("gnome");
        EXPECT_EQ(loaded.state, UserWallpaperRecord::State::Damaged) << text;
        EXPECT_NE(loaded.message.find(why), std::string::npos) << loaded.message;
        EXPECT_NE(loaded.message.find(d.file("r.ini")), std::string::npos);
    }
    // A folder where the file should be: damaged on reading, refused on writing.
    fs::create_directories(path);
    UserWallpaperRecord record(path);
    EXPECT_EQ(record.load("gnome").state, UserWallpaperRecord::State::Damaged);
    std::string error;
    EXPECT_FALSE(record.keep({"gnome", false, {}}, &error));
    EXPECT_NE(error.find(path), std::string::npos);
}

// The setter with the real GNOME backend and a scripted gsettings.
class SetterRestoreTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::ensureQGuiApplication(); }
    void SetUp() override {
        profile::clearCache();
        fs::create_directories(dir.file("set"));
        fs::create_directories(dir.file("work"));
        fs::create_directories(dir.file("windows"));
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        ASSERT_TRUE(image.save(QString::fromStdString(dir.file("set/pic.jpg")), "JPEG"));
        request.pictureBase = dir.file("set/pic");
        request.setDirectory = dir.file("set/");
        request.screen = QSize(64, 48);
        request.calendar.enabled = false;
        request.today = QDate(2026, 12, 7);
        request.settingsFile = dir.file("ScreenSaver.ini");
        request.workFolder = dir.file("work");
        request.outputPath = dir.file("windows/Skyloom.bmp");
        userSays(kUserUri, "'zoom'");
    }
    void userSays(const std::string& uri, const std::string& options) {
        runner.answers[{"gsettings", "get", kGnome, "picture-uri"}] = answer(uri + "\n");
        runner.answers[{"gsettings", "get", kGnome, "picture-uri-dark"}] = answer(uri + "\n");
        runner.answers[{"gsettings", "get", kGnome, "picture-options"}] = answer(options + "\n");
    }
    std::unique_ptr<WallpaperSetter> setter() {
        return std::make_unique<WallpaperSetter>(
            makeBackend(BackendKind::Gnome, runner, dir.path()), recordPath);
    }
    std::vector<std::string> verbs() const {
        std::vector<std::string> out;
        for (const auto& c : runner.commands)
            out.push_back(c[1] + " " + c[3]);
        return out;
    }

    ScriptedRunner runner;
    test::TempDir dir;
    std::string recordPath = dir.file("config/UserWallpaper.ini");
    wallpaper::RenderRequest request;
};

TEST_F(SetterRestoreTest, TheFirstChangeRecordsTheUsersWallpaperAndOffPutsItBack) {
    auto s = setter();
    ASSERT_TRUE(s->SetWallpaper(request).ok);
    // Read before anything is set.
    EXPECT_EQ(verbs(), (std::vector<std::string>{"get picture-uri", "get picture-uri-dark",
                                                 "get picture-options", "set picture-uri",
                                                 "set picture-uri-dark", "set picture-options"}));
    // The desktop now shows Skyloom's picture; the next change reads nothing.
    userSays("'" + fileUri(dir.file("windows/Skyloom-a.bmp")) + "'", "'centered'");
    runner.commands.clear();
    ASSERT_TRUE(setter()->SetWallpaper(request).ok);
    EXPECT_EQ(verbs().front(), "set picture-uri");
    // Off: the user's own values, then the record is gone.
    runner.commands.clear();
    ASSERT_TRUE(setter()->RemoveWallpaper().ok);
    EXPECT_EQ(runner.commands,
              (std::vector<Command>{{"gsettings", "set", kGnome, "picture-uri", kUserUri},
                                    {"gsettings", "set", kGnome, "picture-uri-dark", kUserUri},
                                    {"gsettings", "set", kGnome, "picture-options", "'zoom'"}}));
    EXPECT_EQ(UserWallpaperRecord(recordPath).load("gnome").state,
              UserWallpaperRecord::State::None);
    // Off again with nothing recorded: the wallpaper "(none)" as before.
    runner.commands.clear();
    ASSERT_TRUE(setter()->RemoveWallpaper().ok);
    EXPECT_EQ(runner.commands.back(),
              (Command{"gsettings", "set", kGnome, "picture-options", "none"}));
    EXPECT_EQ(setter()->RestoreUserWallpaper().status, RestoreStatus::NothingRecorded);
}

TEST_F(SetterRestoreTest, SkyloomsOwnPictureIsNeverRecordedAsTheUsers) {
    // Left by a Skyloom that kept no record.
    userSays("'" + fileUri(dir.file("windows/Skyloom-b.bmp")) + "'", "'zoom'");
    ASSERT_TRUE(setter()->SetWallpaper(request).ok);
    const auto loaded = UserWallpaperRecord(recordPath).load("gnome");
    ASSERT_EQ(loaded.state, UserWallpaperRecord::State::Present);
    EXPECT_FALSE(loaded.wallpaper.known);
    EXPECT_TRUE(loaded.wallpaper.settings.empty());
    runner.commands.clear();
    const auto restored = setter()->RestoreUserWallpaper();
    EXPECT_EQ(restored.status, RestoreStatus::NotKnown);
    EXPECT_EQ(runner.commands.back(),
              (Command{"gsettings", "set", kGnome, "picture-options", "none"}));
}

TEST_F(SetterRestoreTest, NoChangeWithoutARecordAndNoRecordLostOnFailure) {
    // The desktop cannot be read: it is not changed.
    runner.answers[{"gsettings", "get", kGnome, "picture-options"}] = answer({}, 1);
    auto outcome = setter()->SetWallpaper(request);
    EXPECT_FALSE(outcome.ok);
    EXPECT_NE(outcome.reason.find("could not be read"), std::string::npos) << outcome.reason;
    EXPECT_EQ(verbs().back(), "get picture-options");
    EXPECT_FALSE(fs::exists(dir.file("windows/Skyloom-a.bmp")));
    // The record cannot be written (its folder is a file): not changed either.
    userSays(kUserUri, "'zoom'");
    const std::string kept = recordPath;
    dir.write("blocked", "");
    recordPath = dir.file("blocked/UserWallpaper.ini");
    runner.commands.clear();
    outcome = setter()->SetWallpaper(request);
    EXPECT_FALSE(outcome.ok);
    EXPECT_NE(outcome.reason.find("could not be recorded"), std::string::npos) << outcome.reason;
    EXPECT_EQ(verbs().back(), "get picture-options");
    recordPath = kept;

    // A desktop that refuses the old values keeps the record for another try.
    ASSERT_TRUE(setter()->SetWallpaper(request).ok);
    runner.answers[{"gsettings", "set", kGnome, "picture-uri", kUserUri}] = answer({}, 1);
    EXPECT_EQ(setter()->RestoreUserWallpaper().status, RestoreStatus::Failed);
    EXPECT_FALSE(setter()->RemoveWallpaper().ok);
    EXPECT_EQ(UserWallpaperRecord(recordPath).load("gnome").state,
              UserWallpaperRecord::State::Present);
}

TEST_F(SetterRestoreTest, ADamagedRecordIsReportedAndOffStillTakesTheWallpaperAway) {
    fs::create_directories(fs::path(recordPath).parent_path());
    std::ofstream(recordPath) << "[gnome]\nstate=known\npicture-uri\n";
    profile::clearCache();
    const auto restored = setter()->RestoreUserWallpaper();
    EXPECT_EQ(restored.status, RestoreStatus::Damaged);
    EXPECT_NE(restored.message.find("damaged"), std::string::npos) << restored.message;
    EXPECT_TRUE(runner.commands.empty());
    // A change keeps the damaged record rather than replacing it.
    ASSERT_TRUE(setter()->SetWallpaper(request).ok);
    EXPECT_EQ(verbs().front(), "set picture-uri");
    ASSERT_TRUE(setter()->RemoveWallpaper().ok);
    EXPECT_EQ(runner.commands.back(),
              (Command{"gsettings", "set", kGnome, "picture-options", "none"}));
    EXPECT_EQ(UserWallpaperRecord(recordPath).load("gnome").state,
              UserWallpaperRecord::State::None);
}

} // namespace
