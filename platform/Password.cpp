#include "Password.h"

#include "Locations.h"
#include "common/AtomicFile.h"
#include "common/Folders.h"
#include "common/Log.h"

#include <QCoreApplication>
#include <QString>

#include <security/pam_appl.h>
#include <sodium.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace skyloom::platform {
namespace {

// Hash cost: the library's "interactive" level, about a tenth of a second and 64 MB
// on a desktop, so the prompt answers quickly; tests may lower it.
unsigned long long opsLimit() {
    const char* fast = std::getenv("SKYLOOM_FAST_PASSWORD_HASH");
    return fast && *fast == '1' ? crypto_pwhash_OPSLIMIT_MIN : crypto_pwhash_OPSLIMIT_INTERACTIVE;
}
std::size_t memLimit() {
    const char* fast = std::getenv("SKYLOOM_FAST_PASSWORD_HASH");
    return fast && *fast == '1' ? crypto_pwhash_MEMLIMIT_MIN : crypto_pwhash_MEMLIMIT_INTERACTIVE;
}

bool sodiumReady() {
    static const bool ok = sodium_init() >= 0;
    return ok;
}

bool readHash(std::string& hash) {
    std::ifstream in(saverPasswordFilePath(), std::ios::binary);
    if (!in)
        return false;
    std::stringstream ss;
    ss << in.rdbuf();
    hash = ss.str();
    while (!hash.empty() && (hash.back() == '\n' || hash.back() == '\r'))
        hash.pop_back();
    return true;
}

bool validHash(const std::string& hash) {
    if (!sodiumReady() || hash.size() >= crypto_pwhash_STRBYTES ||
        hash.rfind(crypto_pwhash_STRPREFIX, 0) != 0 || hash.find('\0') != std::string::npos)
        return false;
    // -1 means the string is not a hash the library can verify.
    return crypto_pwhash_str_needs_rehash(hash.c_str(), opsLimit(), memLimit()) != -1;
}

struct ConversationData {
    const std::string* password;
    const std::string* user;
};

int converse(int count, const pam_message** messages, pam_response** responses, void* data) {
    if (count <= 0 || count > PAM_MAX_NUM_MSG)
        return PAM_CONV_ERR;
    auto* d = static_cast<ConversationData*>(data);
    auto* out = static_cast<pam_response*>(
        std::calloc(static_cast<std::size_t>(count), sizeof(pam_response)));
    if (!out)
        return PAM_BUF_ERR;
    for (int i = 0; i < count; ++i) {
        const char* answer = nullptr;
        switch (messages[i]->msg_style) {
        case PAM_PROMPT_ECHO_OFF:
            answer = d->password->c_str();
            break;
        case PAM_PROMPT_ECHO_ON:
            answer = d->user->c_str();
            break;
        default:
            break; // information and error texts need no answer
        }
        if (answer && !(out[i].resp = ::strdup(answer))) {
            for (int j = 0; j < i; ++j)
                std::free(out[j].resp);
            std::free(out);
            return PAM_BUF_ERR;
        }
    }
    *responses = out;
    return PAM_SUCCESS;
}

} // namespace

std::string saverPasswordFilePath() {
    return configDirectory() + "/saver-password";
}

SaverPasswordState saverPasswordState() {
    std::string hash;
    if (!readHash(hash))
        return SaverPasswordState::None;
    return validHash(hash) ? SaverPasswordState::Set : SaverPasswordState::Corrupt;
}

bool setSaverPassword(const std::string& password) {
    const std::string path = saverPasswordFilePath();
    if (password.empty()) {
        if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
            logWarning("password", "cannot remove " + path + ": " + std::strerror(errno));
            return false;
        }
        return true;
    }
    if (!sodiumReady() || password.size() > kMaxPasswordLength)
        return false;
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, password.data(), password.size(), opsLimit(), memLimit()) != 0) {
        logWarning("password", "not enough memory to hash the saver password");
        return false;
    }
    if (!makeFolders(configDirectory()))
        return false;
    const std::string text = std::string(hash) + "\n";
    std::string error;
    if (!writeFileAtomically(path, text, {.mode = 0600, .forceMode = true, .durable = true},
                             &error)) {
        logWarning("password", error);
        return false;
    }
    return true;
}

bool checkSaverPassword(const std::string& password) {
    std::string hash;
    if (!readHash(hash))
        return false;
    if (!validHash(hash)) {
        logWarning("password", "the saver password file " + saverPasswordFilePath() +
                                   " is damaged: no password is accepted until it is set "
                                   "again with \"skyloom /a\" or the file is removed");
        return false;
    }
    if (password.empty() || password.size() > kMaxPasswordLength)
        return false;
    return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

std::string currentUserName() {
    if (const passwd* pw = ::getpwuid(::getuid()))
        return pw->pw_name;
    const char* user = std::getenv("USER");
    return user ? user : "";
}

bool checkLoginPassword(const std::string& user, const std::string& password,
                        const std::string& service) {
    if (user.empty() || password.empty() || password.size() > kMaxPasswordLength ||
        password.find('\0') != std::string::npos)
        return false;
    ConversationData data{&password, &user};
    pam_conv conv{converse, &data};
    pam_handle_t* handle = nullptr;
    int rc = ::pam_start(service.c_str(), user.c_str(), &conv, &handle);
    if (rc != PAM_SUCCESS) {
        logWarning("password", "PAM service \"" + service + "\" cannot start");
        if (handle)
            ::pam_end(handle, rc);
        return false;
    }
    rc = ::pam_authenticate(handle, PAM_SILENT | PAM_DISALLOW_NULL_AUTHTOK);
    ::pam_end(handle, rc);
    return rc == PAM_SUCCESS;
}

std::string pamServiceFile(const std::string& service) {
    // Under pam_wrapper (tests) the services come from its own folder.
    if (const char* dir = std::getenv("PAM_WRAPPER_SERVICE_DIR"); dir && *dir)
        return std::string(dir) + "/" + service;
    return "/etc/pam.d/" + service;
}

bool loginPasswordCheckable() {
    return ::access(pamServiceFile().c_str(), R_OK) == 0;
}

VerifierProblem verifierProblem() {
    switch (saverPasswordState()) {
    case SaverPasswordState::Set:
        return VerifierProblem::None;
    case SaverPasswordState::Corrupt:
        return VerifierProblem::DamagedSaverPassword;
    case SaverPasswordState::None:
        break;
    }
    return loginPasswordCheckable() ? VerifierProblem::None : VerifierProblem::NoPamService;
}

bool passwordVerifierReady(std::string& why) {
    switch (verifierProblem()) {
    case VerifierProblem::None:
        return true;
    case VerifierProblem::DamagedSaverPassword:
        //: Follows "Password protection is on, but".
        why = QCoreApplication::translate(
                  "skyloom::platform::Password",
                  "the saver password file %1 is damaged, so no password could end the saver; "
                  "set a new password with \"skyloom /a\" or remove the file")
                  .arg(QString::fromStdString(saverPasswordFilePath()))
                  .toStdString();
        return false;
    case VerifierProblem::NoPamService:
        break;
    }
    //: Follows "Password protection is on, but".
    why = QCoreApplication::translate(
              "skyloom::platform::Password",
              "the PAM service file %1 is missing, so your login password cannot be checked; "
              "run ./demo (or the installer) as root, or set a saver password with "
              "\"skyloom /a\"")
              .arg(QString::fromStdString(pamServiceFile()))
              .toStdString();
    return false;
}

PasswordGate::PasswordGate(Checker checker, Clock clock, Sleeper sleeper)
    : checker_(std::move(checker)), clock_(std::move(clock)), sleeper_(std::move(sleeper)) {
    if (!checker_) {
        checker_ = [](const std::string& password) {
            if (saverPasswordState() != SaverPasswordState::None)
                return checkSaverPassword(password);
            return checkLoginPassword(currentUserName(), password);
        };
    }
    if (!clock_)
        clock_ = [] { return std::chrono::steady_clock::now(); };
    if (!sleeper_)
        sleeper_ = [](std::chrono::milliseconds d) { std::this_thread::sleep_for(d); };
}

PasswordGate::Result PasswordGate::verify(const std::string& password) {
    std::lock_guard lock(mutex_);
    const auto start = clock_();
    if (start < lockedUntil_)
        return Result::LockedOut;
    if (lockedUntil_ != std::chrono::steady_clock::time_point{}) {
        lockedUntil_ = {};
        failures_ = 0;
    }
    const bool ok =
        !password.empty() && password.size() <= kMaxPasswordLength && checker_(password);
    if (ok) {
        failures_ = 0;
        return Result::Accepted;
    }
    // Every wrong answer costs at least the delay, however fast the check.
    const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(clock_() - start);
    if (spent < kFailureDelay)
        sleeper_(kFailureDelay - spent);
    if (++failures_ >= kMaxFailures) {
        lockedUntil_ = clock_() + kLockout;
        return Result::LockedOut;
    }
    return Result::Refused;
}

std::chrono::seconds PasswordGate::lockRemaining() const {
    std::lock_guard lock(mutex_);
    const auto now = clock_();
    if (now >= lockedUntil_)
        return std::chrono::seconds(0);
    return std::chrono::ceil<std::chrono::seconds>(lockedUntil_ - now);
}

int PasswordGate::failuresInARow() const {
    std::lock_guard lock(mutex_);
    return failures_;
}

} // namespace skyloom::platform
