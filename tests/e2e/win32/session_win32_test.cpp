// A whole session as a Windows user meets it, under Wine: glyphoria-host.exe
// loads Glyphoria.pln, which loads Glyphoria.dll beside it, against the
// native shop. The sampler window opens from the menu (the configuration is
// fetched through WinINet under the "URLData" progress window), a font is
// tried on two selected text frames, the page reverts them, and a purchase is
// probed and saved into the downloads folder. The checks read the
// transcript, the windows the host saw close, the saved documents, the log,
// the preferences and the archive, against what the shop serves.
//
// The preferences file, the log and the downloads folder are the prefix's
// own, shared with every program of the build tree: the test keeps what was
// there and puts it back (CTest runs it under a resource lock).
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/folders.h"
#include "platform/net.h"
#include "tests/common/test_env.h"

namespace {

namespace platform = glyphoria::platform;
using glyphoria::testing::KeptFile;
using glyphoria::testing::ReadFileBytes;
using glyphoria::testing::RunProgram;
using glyphoria::testing::TempDir;
using glyphoria::testing::WriteFileBytes;
using nlohmann::json;

constexpr const char* kArchiveName = "WinSessionFonts.zip";

std::string ShopAddress() {
    const char* file = std::getenv("GLYPHORIA_SHOP_INFO");
    if (!file) return std::string();
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

std::string Folder(int which) {
    char path[512];
    return platform::GetShellFolder(which, path, sizeof path) ? std::string(path) : std::string();
}

// What the shop serves at an address, fetched here the same way.
std::string Fetch(const std::string& address) {
    TempDir dir;
    const std::string path = dir.file("fetched");
    if (!platform::DownloadToFile(address.c_str(), path.c_str(), platform::NetLimits{}))
        return std::string();
    return ReadFileBytes(path);
}

// A frame of a saved document, by the box it has on the page: a try
// replaces a text frame with a new picture frame in the same box, so the box
// is what a frame keeps through a try and a restore.
struct SavedFrame {
    std::string type;    // "text" or "graphic"
    std::string text;    // the story's runs, joined
    std::string labels;  // "key=value" lines, frame and picture
    int pixel_width = 0, pixel_height = 0;
    std::string link;  // the picture's file, as the link names it
};

std::string BoxKey(const json& bounds) {
    std::string key;
    for (const json& v : bounds)
        key += std::to_string(static_cast<long>(v.get<double>() + 0.5)) + " ";
    return key;
}

void AddLabels(const json& holder, std::string* out) {
    const auto labels = holder.find("labels");
    if (labels == holder.end() || !labels->is_object()) return;
    for (const auto& entry : labels->items())
        *out += entry.key() + "=" + entry.value().get<std::string>() + "\n";
}

std::map<std::string, SavedFrame> ReadFrames(const std::string& path) {
    std::map<std::string, SavedFrame> frames;
    const json doc = json::parse(ReadFileBytes(path), nullptr, false);
    if (!doc.is_object() || !doc.contains("spreads")) return frames;
    for (const json& spread : doc["spreads"]) {
        if (!spread.contains("layers")) continue;
        for (const json& layer : spread["layers"]) {
            if (!layer.contains("items")) continue;
            for (const json& item : layer["items"]) {
                SavedFrame frame;
                frame.type = item.value("type", "");
                if (item.contains("story") && item["story"].contains("runs"))
                    for (const json& run : item["story"]["runs"])
                        frame.text += run.value("text", "");
                AddLabels(item, &frame.labels);
                if (item.contains("image")) {
                    const json& image = item["image"];
                    AddLabels(image, &frame.labels);
                    if (image.contains("link") && image["link"].contains("uri"))
                        frame.link = image["link"]["uri"].get<std::string>();
                    if (image.contains("pixels") && image["pixels"].size() == 2) {
                        frame.pixel_width = image["pixels"][0].get<int>();
                        frame.pixel_height = image["pixels"][1].get<int>();
                    }
                }
                frames[BoxKey(item["bounds"])] = frame;
            }
        }
    }
    return frames;
}

// The lines of the transcript in order; each must follow the one before.
void ExpectInOrder(const std::string& text, const std::vector<std::string>& steps) {
    std::size_t at = 0;
    for (const std::string& step : steps) {
        std::size_t found = text.find(step, at);
        ASSERT_NE(std::string::npos, found)
            << "missing after position " << at << ": " << step << "\n"
            << text;
        at = found + step.size();
    }
}

TEST(WindowsSession, OpensTriesRevertsAndBuysInTheHostProgram) {
    const std::string shop = ShopAddress();
    ASSERT_FALSE(shop.empty()) << "GLYPHORIA_SHOP_INFO names no running shop";
    const std::string config_url = shop + "/glyphoria/config.xml";
    const std::string archive_url = shop + "/download/ok/" + kArchiveName;
    const std::string config = Fetch(config_url);
    const std::string archive = Fetch(archive_url);
    ASSERT_FALSE(config.empty());
    ASSERT_EQ(0u, archive.compare(0, 2, "PK"));

    const std::string downloads = Folder(platform::kFolderDownloads);
    ASSERT_FALSE(downloads.empty());
    KeptFile prefs(Folder(platform::kFolderAppData) + "\\Glyphoria.ini");
    KeptFile log(Folder(platform::kFolderPersonal) + "\\Glyphoria.txt");
    KeptFile saved_archive(downloads + "\\" + kArchiveName);
    KeptFile probe_copy(downloads + "\\b1.htm");
    std::remove(log.path().c_str());
    std::remove(saved_archive.path().c_str());
    ASSERT_TRUE(
        WriteFileBytes(prefs.path(), "[General]\r\nconfig=" + config_url + "\r\nshortcut=G\r\n"));

    TempDir dir;
    const std::string script = dir.file("session.script");
    ASSERT_TRUE(WriteFileBytes(script,
                               "dialogs watch\n"
                               "save before.json\n"
                               "idle\n"
                               "menu 0x159842\n"
                               "state 0x159842\n"
                               "dialogs\n"
                               "select headline body\n"
                               "web try 1001\n"
                               "list\n"
                               "save tried.json\n"
                               "state 0x159841\n"
                               "# A try leaves its last picture selected; both go back.\n"
                               "select #5 #6\n"
                               "web revert\n"
                               "list\n"
                               "save restored.json\n"
                               "state 0x159841\n"
                               "web buy " +
                                   archive_url +
                                   "\n"
                                   "dialogs\n"
                                   "web record\n"
                                   "menu 0x159842\n"
                                   "state 0x159842\n"));
    const std::string transcript_path = dir.file("transcript.txt");
    const int status = RunProgram(
        HOST_PROGRAM_PATH,
        {EXAMPLES_DIR "/sampler.json", "--plugins", GLYPHORIA_MODULE_DIR, "--script", script},
        transcript_path);
    const std::string out = ReadFileBytes(transcript_path);
    ASSERT_EQ(0, status) << out;
    EXPECT_EQ(std::string::npos, out.find("error:")) << out;

    // The configuration came under the progress window: no title, the bar
    // full at the document's length, the cancel button beside it. The
    // archive came under another, titled, its bar full at the archive's
    // length.
    const std::string config_bar =
        std::to_string(config.size()) + "/" + std::to_string(config.size());
    const std::string archive_bar =
        std::to_string(archive.size()) + "/" + std::to_string(archive.size());
    ExpectInOrder(out, {"loaded 1 plug-in(s)",
                        "watching windows",
                        "ran action 0x159842",
                        "0x159842 enabled checked \"Sampler\"",
                        "window(s) closed",
                        "window \"\" #32770",
                        "control 3 msctls_progress32 \"\" bar " + config_bar,
                        "control 2 Button \"Cancel\"",
                        "selected 2 frame(s)",
                        "web try 1001: 0",
                        "0x159841 enabled \"Restore text frame\"",
                        "selected 2 frame(s)",
                        "web revert: 0",
                        "0x159841 disabled \"Restore text frame\"",
                        "web buy " + archive_url + ": 1",
                        "window(s) closed",
                        "window \"Downloading\xE2\x80\xA6\" #32770",
                        "control 3 msctls_progress32 \"\" bar " + archive_bar,
                        "control 2 Button \"Cancel\"",
                        "callback\tdoTry\tid=1001&psname=",
                        "callback\tdoRevert\tall=1\t0",
                        "callback\tdoBuy\t" + archive_url + "\t1",
                        "0x159842 enabled \"Sampler\""});

    // The document: both frames became labelled pictures of the size the
    // renderer was asked for, and came back as the text they held.
    const auto before = ReadFrames(dir.file("before.json"));
    const auto tried = ReadFrames(dir.file("tried.json"));
    const auto restored = ReadFrames(dir.file("restored.json"));
    struct Tried {
        const char* box;
        int width, height;
    } frames[] = {{"30 24 610 84 ", 580, 60}, {"30 100 330 250 ", 300, 150}};
    for (const Tried& f : frames) {
        SCOPED_TRACE(f.box);
        ASSERT_EQ(1u, before.count(f.box));
        ASSERT_EQ(1u, tried.count(f.box));
        ASSERT_EQ(1u, restored.count(f.box));
        EXPECT_EQ("text", before.at(f.box).type);
        EXPECT_FALSE(before.at(f.box).text.empty());
        const SavedFrame& picture = tried.at(f.box);
        EXPECT_EQ("graphic", picture.type);
        EXPECT_NE(std::string::npos, picture.labels.find("id=1001&psname=TeXGyreTermes-Regular"))
            << picture.labels;
        // The renderer's picture, fetched into the frame's own preview file.
        EXPECT_NE(std::string::npos, picture.link.find("TEMP/GL_1001_")) << picture.link;
        EXPECT_EQ(f.width, picture.pixel_width);
        EXPECT_EQ(f.height, picture.pixel_height);
        EXPECT_EQ("text", restored.at(f.box).type);
        EXPECT_EQ(before.at(f.box).text, restored.at(f.box).text);
        EXPECT_EQ(std::string::npos, restored.at(f.box).labels.find("id=1001"))
            << restored.at(f.box).labels;
    }
    // Nothing else on the page changed.
    ASSERT_EQ(before.size(), restored.size());
    for (const auto& [box, frame] : before) {
        SCOPED_TRACE(box);
        ASSERT_EQ(1u, restored.count(box));
        EXPECT_EQ(frame.type, restored.at(box).type);
        EXPECT_EQ(frame.text, restored.at(box).text);
    }

    // The log: one renderer address per frame, each label written.
    const std::string log_text = ReadFileBytes(log.path());
    std::size_t sampler_urls = 0;
    for (std::size_t at =
             log_text.find("samplerURL: " + shop + "/render?imagetype=typeit&shopid=1001");
         at != std::string::npos; at = log_text.find("samplerURL: ", at + 1))
        ++sampler_urls;
    EXPECT_EQ(2u, sampler_urls) << log_text;
    EXPECT_NE(std::string::npos, log_text.find("setTag: id=1001")) << log_text;

    // The preferences kept the configuration the shop sent.
    const std::string stored = ReadFileBytes(prefs.path());
    EXPECT_NE(std::string::npos, stored.find("mlSamplerUrl=" + shop + "/render")) << stored;
    EXPECT_NE(std::string::npos, stored.find("shortcut=G\r\n")) << stored;

    // The archive is where the downloads go, byte for byte the shop's.
    EXPECT_TRUE(ReadFileBytes(saved_archive.path()) == archive)
        << saved_archive.path() << ": " << ReadFileBytes(saved_archive.path()).size() << " of "
        << archive.size() << " bytes";
}

}  // namespace
