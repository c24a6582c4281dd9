// The fetch and buy subcommands, run as a separate program against servers
// of this test.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/common/loopback_server.h"

namespace {

using glyphoria::testing::LoopbackServer;
using glyphoria::testing::ReadFileBytes;
using glyphoria::testing::SelfSignedCertificate;
using glyphoria::testing::TempDir;
using glyphoria::testing::WriteFileBytes;

struct Result {
    int status;
    std::string out;
};

// Arguments are quoted for the shell; none of them holds a single quote.
Result RunTool(const TempDir& dir, const std::string& args) {
    const std::string out = dir.file("stdout.bin");
    const std::string rc = dir.file("rc.txt");
    const std::string command = std::string("'") + GLYPHORIA_TOOL_PATH + "' " + args + " >'" + out +
                                "' 2>/dev/null; echo $? >'" + rc + "'";
    if (std::system(command.c_str()) != 0) return {-1, ""};
    return {std::atoi(ReadFileBytes(rc).c_str()), ReadFileBytes(out)};
}

std::string Quoted(const std::string& s) {
    return "'" + s + "'";
}

class ToolNet : public ::testing::Test {
  protected:
    void SetUp() override {
        body_.reserve(300000);
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
        server_.server().Get("/download/evil", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("Content-Disposition", "attachment; filename=\"../escaped.zip\"");
            res.set_content("PK", "application/zip");
        });
        server_.server().Get("/download/good", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("Content-Disposition", "attachment; filename=\"Fonts.zip\"");
            res.set_content("PK-fonts", "application/zip");
        });
        server_.Start();
    }

    SelfSignedCertificate certificate_;
    LoopbackServer server_{certificate_};
    std::string body_;
};

TEST_F(ToolNet, FetchChunkedHttps) {
    TempDir dir;
    const std::string cacert = " --cacert " + Quoted(certificate_.cert_file());
    Result to_stdout = RunTool(dir, "fetch " + Quoted(server_.url("/doc")) + cacert);
    EXPECT_EQ(0, to_stdout.status);
    EXPECT_TRUE(to_stdout.out == body_) << to_stdout.out.size() << " bytes";

    Result to_file = RunTool(dir, "fetch " + Quoted(server_.url("/doc")) + cacert + " -o " +
                                      Quoted(dir.file("doc.txt")));
    EXPECT_EQ(0, to_file.status);
    EXPECT_TRUE(ReadFileBytes(dir.file("doc.txt")) == body_);

    // Without the certificate the server is not trusted.
    EXPECT_EQ(1, RunTool(dir, "fetch " + Quoted(server_.url("/doc"))).status);
    EXPECT_EQ(2, RunTool(dir, "fetch").status);
}

TEST_F(ToolNet, BuyKeepsHostileNamesOut) {
    TempDir dir;
    const std::string folder = dir.file("downloads");
    std::filesystem::create_directory(folder);
    ASSERT_TRUE(
        WriteFileBytes(dir.file("prefs.ini"), "[General]\ndownloadFolder=" + folder + "\n"));
    const std::string common = " --prefs " + Quoted(dir.file("prefs.ini")) + " --cacert " +
                               Quoted(certificate_.cert_file());

    Result evil = RunTool(dir, "buy " + Quoted(server_.url("/download/evil")) + common);
    EXPECT_EQ(1, evil.status);
    EXPECT_EQ("0\n", evil.out);
    EXPECT_FALSE(std::filesystem::exists(dir.file("escaped.zip")));

    Result good = RunTool(dir, "buy " + Quoted(server_.url("/download/good")) + common);
    EXPECT_EQ(0, good.status);
    EXPECT_EQ("1\n", good.out);
    EXPECT_EQ("PK-fonts", ReadFileBytes(folder + "/Fonts.zip"));
    EXPECT_EQ(2, RunTool(dir, "buy " + Quoted(server_.url("/download/good"))).status);
}

}  // namespace
