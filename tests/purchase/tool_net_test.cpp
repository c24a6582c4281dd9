// The fetch and buy subcommands, run as a separate program against an https
// server of this test that answers in chunks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "tests/common/loopback_server.h"

namespace {

using glyphoria::testing::ReadFileBytes;
using glyphoria::testing::TempDir;

std::string Quoted(const std::string& s) {
    return "'" + s + "'";
}

class ToolNet : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int i = 0; body_.size() < 300000; ++i)
            body_ += "line " + std::to_string(i) + "\n";
        server_.server().Get("/doc", [this](const httplib::Request&, httplib::Response& res) {
            res.set_chunked_content_provider(
                "text/plain", [this](std::size_t offset, httplib::DataSink& sink) {
                    std::size_t n = std::min<std::size_t>(9000, body_.size() - offset);
                    sink.write(body_.data() + offset, n);
                    if (offset + n == body_.size()) sink.done();
                    return true;
                });
        });
        server_.server().Get(
            R"(/download/(\w+))", [](const httplib::Request& req, httplib::Response& res) {
                const std::string name = req.matches[1] == "evil" ? "../escaped.zip" : "Fonts.zip";
                res.set_header("Content-Disposition", "attachment; filename=\"" + name + "\"");
                if (req.matches[1] == "broken") res.status = 500;
                res.set_content("PK-fonts", "application/zip");
            });
        server_.server().Get("/missing", [](const httplib::Request&, httplib::Response& res) {
            res.status = 404;
            res.set_content("<html>not here</html>", "text/html");
        });
        server_.Start();
    }

    // Exit status and standard output of: glyphoria ARGS --cacert CERT
    std::pair<int, std::string> Run(const std::string& args, bool trusted = true) {
        const std::string out = dir_.file("stdout.bin");
        std::string command = Quoted(GLYPHORIA_TOOL_PATH) + " " + args;
        if (trusted) command += " --cacert " + Quoted(certificate_.cert_file());
        command += " >" + Quoted(out) + " 2>" + Quoted(dir_.file("stderr.txt"));
        int status = std::system(command.c_str());
        err_ = ReadFileBytes(dir_.file("stderr.txt"));
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFileBytes(out)};
    }
    std::string err_;  // the last run's standard error

    TempDir dir_;
    glyphoria::testing::SelfSignedCertificate certificate_;
    glyphoria::testing::LoopbackServer server_{certificate_};
    std::string body_;
};

TEST_F(ToolNet, FetchChunkedHttps) {
    auto [status, out] = Run("fetch " + Quoted(server_.url("/doc")));
    EXPECT_EQ(0, status);
    EXPECT_TRUE(out == body_) << out.size() << " bytes";
    EXPECT_EQ(0,
              Run("fetch " + Quoted(server_.url("/doc")) + " -o " + Quoted(dir_.file("d"))).first);
    EXPECT_TRUE(ReadFileBytes(dir_.file("d")) == body_);
    EXPECT_EQ(1, Run("fetch " + Quoted(server_.url("/doc")), false).first);  // untrusted
    EXPECT_NE(std::string::npos, err_.find(": the server's certificate is not trusted\n")) << err_;
    EXPECT_EQ(2, Run("fetch").first);
}

// An error page is a failure with its status, and the file it would have
// replaced stays as it was.
TEST_F(ToolNet, FetchOfAnErrorPageWritesNothing) {
    ASSERT_TRUE(glyphoria::testing::WriteFileBytes(dir_.file("kept"), "earlier content"));
    const std::string url = server_.url("/missing");
    EXPECT_EQ(std::make_pair(1, std::string()),
              Run("fetch " + Quoted(url) + " -o " + Quoted(dir_.file("kept"))));
    EXPECT_EQ("glyphoria fetch: " + url + ": the server answered with HTTP status 404\n", err_);
    EXPECT_EQ("earlier content", ReadFileBytes(dir_.file("kept")));
}

TEST_F(ToolNet, BuyKeepsHostileNamesOut) {
    const std::string folder = dir_.file("downloads");
    std::filesystem::create_directory(folder);
    ASSERT_TRUE(glyphoria::testing::WriteFileBytes(dir_.file("prefs.ini"),
                                                   "[General]\ndownloadFolder=" + folder + "\n"));
    const std::string prefs = " --prefs " + Quoted(dir_.file("prefs.ini"));
    EXPECT_EQ(std::make_pair(1, std::string("0\n")),
              Run("buy " + Quoted(server_.url("/download/evil")) + prefs));
    EXPECT_FALSE(std::filesystem::exists(dir_.file("escaped.zip")));
    EXPECT_EQ(std::make_pair(0, std::string("1\n")),
              Run("buy " + Quoted(server_.url("/download/good")) + prefs));
    EXPECT_EQ("PK-fonts", ReadFileBytes(folder + "/Fonts.zip"));
    EXPECT_EQ("glyphoria buy: saved " + folder + "/Fonts.zip\n", err_);
    // Again: beside the first, under the name the tool tells.
    EXPECT_EQ(std::make_pair(0, std::string("1\n")),
              Run("buy " + Quoted(server_.url("/download/good")) + prefs));
    EXPECT_EQ("PK-fonts", ReadFileBytes(folder + "/Fonts (2).zip"));
    EXPECT_NE(std::string::npos, err_.find("glyphoria buy: saved " + folder + "/Fonts (2).zip\n"))
        << err_;
    // An error answer with archive headers is not taken over, and says why.
    const std::string broken = server_.url("/download/broken");
    EXPECT_EQ(std::make_pair(1, std::string("0\n")), Run("buy " + Quoted(broken) + prefs));
    EXPECT_EQ("glyphoria buy: " + broken + ": the server answered with HTTP status 500\n", err_);
    EXPECT_EQ(2, Run("buy " + Quoted(server_.url("/download/good"))).first);  // no --prefs
}

}  // namespace
