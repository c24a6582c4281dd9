#include "tests/common/test_env.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

namespace glyphoria::testing {

namespace {
std::string& HomeSlot() {
    static std::string home;
    return home;
}
}  // namespace

const std::string& TestHome() { return HomeSlot(); }

void InitTestHome();
void InitTestHome() {
    // mkdtemp under the system temporary folder: parallel test programs never
    // share a home.
    std::string pattern = (fs::temp_directory_path() / "glyphoria-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    HomeSlot() = pattern;
    const std::string& home = HomeSlot();
    fs::create_directories(home + "/.config");
    fs::create_directories(home + "/.local/share");
    fs::create_directories(home + "/Documents");
    fs::create_directories(home + "/Downloads");
    fs::create_directories(home + "/tmp");
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
    setenv("XDG_DOCUMENTS_DIR", (home + "/Documents").c_str(), 1);
    setenv("XDG_DOWNLOAD_DIR", (home + "/Downloads").c_str(), 1);
    setenv("TMPDIR", (home + "/tmp").c_str(), 1);
    // English unless a test asks for another language.
    setenv("LC_ALL", "C.UTF-8", 1);
    unsetenv("LANGUAGE");
}

void RemoveTestHome();
void RemoveTestHome() {
    std::error_code ec;
    if (!HomeSlot().empty()) fs::remove_all(HomeSlot(), ec);
}

TempDir::TempDir() {
    std::string pattern = (HomeSlot().empty() ? fs::temp_directory_path().string() : HomeSlot()) +
                          "/dir-XXXXXX";
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    // Tests make files read-only on purpose; make them removable again.
    for (auto it = fs::recursive_directory_iterator(path_, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(path_, ec);
}

std::string TempDir::file(const std::string& name) const { return path_ + "/" + name; }

ScopedEnv::ScopedEnv(const char* name, const char* value) : name_(name) {
    const char* old = std::getenv(name);
    had_old_ = old != nullptr;
    if (had_old_) old_ = old;
    if (value)
        setenv(name, value, 1);
    else
        unsetenv(name);
}

ScopedEnv::~ScopedEnv() {
    if (had_old_)
        setenv(name_.c_str(), old_.c_str(), 1);
    else
        unsetenv(name_.c_str());
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool PathExists(const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

}  // namespace glyphoria::testing
