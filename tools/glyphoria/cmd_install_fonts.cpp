// glyphoria install-fonts: installs the OpenType fonts of a font archive the
// way the purchase window does, and says what became of every entry, with
// the reason for each one left out. Exits 0 when at least one font was
// installed, 1 when none was (or the archive cannot be read), 2 on a usage
// error.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/folders.h"
#include "purchase/font_install.h"
#include "support/limits.h"
#include "support/messages.h"
#include "tools/glyphoria/subcommand.h"

namespace {

int Run(int argc, char** argv);

constexpr const char* kName = "install-fonts";
constexpr const char* kUsage = "  glyphoria install-fonts ARCHIVE [--fonts-dir DIR]\n";
constexpr const char* kSummary = "install the OpenType fonts of a font archive";

GLYPHORIA_SUBCOMMAND(kRegistrar, kName, kUsage, kSummary, Run);

int Usage(const char* why) {
    return glyphoria::tool::UsageError(glyphoria::tool::Subcommand{kName, kUsage, kSummary, Run},
                                       why);
}

// Names come from the archive: control characters would reach the terminal
// as escape sequences, so they are shown as "?".
std::string Printable(const std::string& text) {
    std::string out = text;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(out[i]);
        if (c < 0x20 || c == 0x7F) out[i] = '?';
        // C1 controls, C2 80..C2 9F in UTF-8.
        if (c == 0xC2 && i + 1 < out.size() && static_cast<unsigned char>(out[i + 1]) <= 0x9F &&
            static_cast<unsigned char>(out[i + 1]) >= 0x80) {
            out.replace(i, 2, "?");
        }
    }
    return out;
}

int g_installed = 0;

void PrintEntry(const glyphoria::FontEntryResult& entry) {
    using glyphoria::FontEntryStatus;
    switch (entry.status) {
        case FontEntryStatus::kInstalled:
            ++g_installed;
            std::printf("installed: %s%s\n", Printable(entry.file_name).c_str(),
                        entry.date_applied ? "" : " (date not set)");
            break;
        case FontEntryStatus::kAlreadyInstalled:
            std::printf("already installed: %s\n", Printable(entry.file_name).c_str());
            break;
        case FontEntryStatus::kSkipped:
            // The whole name: a skipped entry may have no usable file name.
            std::printf("skipped: %s (%s)\n", Printable(entry.entry_name).c_str(),
                        glyphoria::DescribeFontSkipReason(entry.reason));
            break;
    }
}

int Run(int argc, char** argv) {
    const char* archive = nullptr;
    const char* fonts_dir = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--fonts-dir")) {
            if (++i >= argc) return Usage("--fonts-dir needs a folder");
            fonts_dir = argv[i];
        } else if (argv[i][0] == '-' && argv[i][1] != '\0') {
            return Usage("unknown option");
        } else if (!archive) {
            archive = argv[i];
        } else {
            return Usage("one archive only");
        }
    }
    if (!archive) return Usage("no archive given");

    char folder[glyphoria::kPathBufferSize] = {};
    if (!fonts_dir) {
        if (!glyphoria::platform::GetShellFolder(glyphoria::platform::kFolderFonts, folder,
                                                 sizeof folder)) {
            std::fprintf(stderr, "glyphoria install-fonts: no fonts folder\n");
            return glyphoria::tool::kExitNotFound;
        }
        fonts_dir = folder;
    }
    // Each entry gets its own line below; a message box for every font already
    // installed would only repeat it.
    glyphoria::SetMessageBoxHook([](const glyphoria::ShownMessage&) { return 1; });
    g_installed = 0;
    const bool read = glyphoria::InstallFontsFromArchiveTo(archive, fonts_dir, PrintEntry);
    glyphoria::SetMessageBoxHook(glyphoria::MessageBoxHook());
    if (!read) {
        std::fprintf(stderr, "glyphoria install-fonts: '%s' is no ZIP archive or a damaged one\n",
                     archive);
        return glyphoria::tool::kExitNotFound;
    }
    // Scripts must not take an archive that installed nothing for a success.
    if (g_installed == 0) {
        std::fprintf(stderr, "glyphoria install-fonts: no font was installed\n");
        return glyphoria::tool::kExitNotFound;
    }
    return glyphoria::tool::kExitDone;
}

}  // namespace
