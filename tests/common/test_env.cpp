#include "tests/common/test_env.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#ifdef _WIN32
#include "platform/win32/windows_api.h"
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif
#include "platform/path_style.h"

namespace fs = std::filesystem;

namespace glyphoria::testing {

namespace {

constexpr char kSep = platform::kPathSeparator;

std::string& HomeSlot() {
    static std::string home;
    return home;
}

// A new folder "<parent><sep><prefix>XXXXXX" that no other process has:
// creating a folder is atomic, so a name that exists already is skipped.
std::string MakeUniqueFolder(const std::string& parent, const char* prefix) {
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device seed;
    std::mt19937 random(seed());
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kChars - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string path = parent + kSep + prefix;
        for (int i = 0; i < 6; ++i)
            path += kChars[pick(random)];
        std::error_code ec;
        if (fs::create_directory(path, ec)) return path;
        if (ec) break;
    }
    throw std::runtime_error("cannot make a folder in " + parent);
}

std::string SystemTempFolder() {
    std::string temp = fs::temp_directory_path().string();
    while (temp.size() > 1 && (temp.back() == '/' || temp.back() == '\\'))
        temp.pop_back();
    return temp;
}

void SetVariable(const char* name, const char* value) {
#ifdef _WIN32
    // An empty value removes the variable; both the C library's copy and the
    // process environment (GetTempPathW reads that one) change.
    _putenv_s(name, value ? value : "");
#else
    if (value)
        setenv(name, value, 1);
    else
        unsetenv(name);
#endif
}

}  // namespace

const std::string& TestHome() {
    return HomeSlot();
}

void InitTestHome();
void InitTestHome() {
    // Parallel test programs never share a home.
    HomeSlot() = MakeUniqueFolder(SystemTempFolder(), "glyphoria-test-");
    const std::string& home = HomeSlot();
    std::string tmp = home + kSep + "tmp";
    fs::create_directories(tmp);
#ifdef _WIN32
    // The user's shell folders are the Wine prefix's (made private by
    // scripts/wine-run); the temporary folder is the program's own.
    SetVariable("TMP", tmp.c_str());
    SetVariable("TEMP", tmp.c_str());
    // English unless a test asks for another language (see ScopedLanguage).
    const LANGID english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    SetThreadLocale(MAKELCID(english, SORT_DEFAULT));
    SetThreadUILanguage(english);
#else
    fs::create_directories(home + "/.config");
    fs::create_directories(home + "/.local/share");
    fs::create_directories(home + "/Documents");
    fs::create_directories(home + "/Downloads");
    SetVariable("HOME", home.c_str());
    SetVariable("XDG_CONFIG_HOME", (home + "/.config").c_str());
    SetVariable("XDG_DATA_HOME", (home + "/.local/share").c_str());
    SetVariable("XDG_DOCUMENTS_DIR", (home + "/Documents").c_str());
    SetVariable("XDG_DOWNLOAD_DIR", (home + "/Downloads").c_str());
    SetVariable("TMPDIR", tmp.c_str());
    // English unless a test asks for another language.
    SetVariable("LC_ALL", "C.UTF-8");
    SetVariable("LANGUAGE", nullptr);
#endif
}

void RemoveTestHome();
void RemoveTestHome() {
    std::error_code ec;
    if (!HomeSlot().empty()) fs::remove_all(HomeSlot(), ec);
}

std::string UserDocumentsFolder() {
#ifdef _WIN32
    const char* profile = std::getenv("USERPROFILE");
    return std::string(profile ? profile : "") + "\\Documents";
#else
    return TestHome() + "/Documents";
#endif
}

std::string UserAppDataFolder() {
#ifdef _WIN32
    const char* app_data = std::getenv("APPDATA");
    return app_data ? app_data : "";
#else
    return TestHome() + "/.config";
#endif
}

TempDir::TempDir()
    : path_(MakeUniqueFolder(HomeSlot().empty() ? SystemTempFolder() : HomeSlot(), "dir-")) {}

TempDir::~TempDir() {
    std::error_code ec;
    // Tests make files read-only on purpose; make them removable again.
    for (auto it = fs::recursive_directory_iterator(path_, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(path_, ec);
}

std::string TempDir::file(const std::string& name) const {
    std::string path = path_ + kSep + name;
    for (char& c : path) {
        if (c == '/') c = kSep;
    }
    return path;
}

ScopedEnv::ScopedEnv(const char* name, const char* value) : name_(name) {
    const char* old = std::getenv(name);
    had_old_ = old != nullptr;
    if (had_old_) old_ = old;
    SetVariable(name, value);
}

ScopedEnv::~ScopedEnv() {
    SetVariable(name_.c_str(), had_old_ ? old_.c_str() : nullptr);
}

ScopedLanguage::ScopedLanguage(unsigned short language) {
#ifdef _WIN32
    // The resource loader follows the thread's interface language on Windows
    // and the thread locale under Wine; both are set.
    old_locale_ = GetThreadLocale();
    old_ui_language_ = GetThreadUILanguage();
    SetThreadLocale(MAKELCID(language, SORT_DEFAULT));
    SetThreadUILanguage(language);
#else
    // The locale names the POSIX resource lookup reads.
    const char* locale = "en_US.UTF-8";
    switch (language) {
        case 1031:
            locale = "de_DE.UTF-8";
            break;
        case 1036:
            locale = "fr_FR.UTF-8";
            break;
        default:
            break;
    }
    const char* old = std::getenv("LC_ALL");
    had_old_ = old != nullptr;
    if (had_old_) old_all_ = old;
    SetVariable("LC_ALL", locale);
#endif
}

ScopedLanguage::~ScopedLanguage() {
#ifdef _WIN32
    SetThreadLocale(old_locale_);
    SetThreadUILanguage(static_cast<LANGID>(old_ui_language_));
#else
    SetVariable("LC_ALL", had_old_ ? old_all_.c_str() : nullptr);
#endif
}

unsigned short FallbackLanguage() {
#ifdef _WIN32
    if (PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_GERMAN) return 1031;
#endif
    return 1033;
}

void SetLastSystemError(int code) {
#ifdef _WIN32
    SetLastError(static_cast<DWORD>(code));
#else
    errno = code;
#endif
}

#ifdef _WIN32

namespace {

// One argument quoted the way the C runtime splits a command line: inside
// quotes, backslashes are literal except before a quote.
std::wstring QuoteArgument(const std::wstring& arg) {
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
        } else if (c == L'"') {
            quoted.append(backslashes * 2 + 1, L'\\');
            backslashes = 0;
        } else {
            quoted.append(backslashes, L'\\');
            backslashes = 0;
        }
        if (c != L'\\') quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

}  // namespace

int RunProgram(const std::string& program, const std::vector<std::string>& args,
               const std::string& out_path) {
    using platform::win32::Widen;
    std::wstring command = QuoteArgument(Widen(program.c_str()));
    for (const std::string& arg : args)
        command += L" " + QuoteArgument(Widen(arg.c_str()));
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    using platform::win32::NullIfInvalid;
    platform::win32::ScopedHandle out(
        NullIfInvalid(CreateFileW(Widen(out_path.c_str()).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                  &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)));
    platform::win32::ScopedHandle null(NullIfInvalid(
        CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr)));
    if (!out || !null) return -1;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = null.get();
    startup.hStdOutput = out.get();
    startup.hStdError = null.get();
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &info))
        return -1;
    platform::win32::ScopedHandle process(info.hProcess);
    platform::win32::ScopedHandle thread(info.hThread);
    DWORD status = 0;
    if (WaitForSingleObject(process.get(), INFINITE) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process.get(), &status))
        return -1;
    return static_cast<int>(status);
}

#else

int RunProgram(const std::string& program, const std::vector<std::string>& args,
               const std::string& out_path) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

#endif

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(fs::u8path(path), std::ios::binary);
    if (!in) return {};
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(fs::u8path(path), std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool PathExists(const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(fs::u8path(path), ec));
}

KeptFile::KeptFile(std::string path)
    : path_(std::move(path)), existed_(PathExists(path_)), bytes_(ReadFileBytes(path_)) {}

KeptFile::~KeptFile() {
    if (existed_) {
        WriteFileBytes(path_, bytes_);
    } else {
        std::error_code ec;
        fs::remove(fs::u8path(path_), ec);
    }
}

}  // namespace glyphoria::testing
