// Shell helpers without a user to see them: failures answer -1 without a box
// of the shell's own; the clipboard holds what was put there; dropped data
// yields paths by the browser's URL form first, then the file-drop list.
#include "dialogs/shell.h"

#include <gtest/gtest.h>

#include <objidl.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "dialogs/drop.h"
#include "support/log.h"
#include "tests/common/test_env.h"

namespace glyphoria {
namespace {

TEST(ShellTest, FailuresAnswerMinusOne) {
    testing::TempDir dir;
    const std::string missing = dir.file("missing.glyphoria-nothing");
    EXPECT_EQ(-1, OpenWithShell(missing.c_str()));
    EXPECT_EQ(-1, OpenWithShellArgs(missing.c_str(), "/x"));
    EXPECT_EQ(-1, OpenWithShell(nullptr));
}

TEST(ShellTest, ClipboardHoldsTheText) {
    CopyTextToClipboard("\xC3\x84nderung 100%");
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    ASSERT_TRUE(data);
    std::wstring text = static_cast<const wchar_t*>(GlobalLock(data));
    GlobalUnlock(data);
    CloseClipboard();
    EXPECT_EQ(L"\u00C4nderung 100%", text);
}

// Dropped data offering a URL text and/or a file-drop list.
class FakeData : public IDataObject {
  public:
    FakeData(const wchar_t* url, std::vector<std::wstring> files)
        : url_(url ? url : L""), has_url_(url != nullptr), files_(std::move(files)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
        if (id == IID_IUnknown || id == IID_IDataObject) {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        const auto url_format =
            static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"text/x-moz-url"));
        if (!(format->tymed & TYMED_HGLOBAL)) return DV_E_TYMED;
        HGLOBAL memory = nullptr;
        if (format->cfFormat == url_format && has_url_) {
            // Not terminated: the helper must stop at the memory's end.
            memory = GlobalAlloc(GMEM_MOVEABLE, url_.size() * sizeof(wchar_t));
            std::memcpy(GlobalLock(memory), url_.data(), url_.size() * sizeof(wchar_t));
            GlobalUnlock(memory);
        } else if (format->cfFormat == CF_HDROP && !files_.empty()) {
            std::wstring list;
            for (const std::wstring& file : files_)
                list += file + L'\0';
            list += L'\0';
            const std::size_t bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
            memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
            auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
            drop->pFiles = sizeof(DROPFILES);
            drop->fWide = TRUE;
            std::memcpy(drop + 1, list.data(), list.size() * sizeof(wchar_t));
            GlobalUnlock(memory);
        } else {
            return DV_E_FORMATETC;
        }
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = memory;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

  private:
    std::wstring url_;
    bool has_url_;
    std::vector<std::wstring> files_;
};

TEST(DropTest, PathsFromUrlTextOrFileList) {
    testing::TempDir dir;
    OpenLogInFolder(1, dir.path().c_str(), "");
    const std::wstring long_name = L"C:\\" + std::wstring(200, L'\u00C4');  // 400 bytes of UTF-8
    struct Case {
        const char* name;
        const wchar_t* url;
        std::vector<std::wstring> files;
        int index;
        int found;
        std::string path;
        int count;
    } cases[] = {
        {"url with a line feed",
         L"http://shop/x\nC:\\Fonts\\A.otf",
         {L"C:\\other"},
         1,
         1,
         "C:\\Fonts\\A.otf",
         1},
        {"url without a line feed: no fallback", L"http://shop/x", {L"C:\\other"}, 1, 0, "", 1},
        {"first file", nullptr, {L"C:\\a.otf", L"C:\\b.otf"}, 1, 1, "C:\\a.otf", 2},
        {"second file", nullptr, {L"C:\\a.otf", L"C:\\b.otf"}, 2, 1, "C:\\b.otf", 2},
        {"index 0", nullptr, {L"C:\\a.otf"}, 0, 0, "", 1},
        {"past the list", nullptr, {L"C:\\a.otf"}, 2, 0, "", 1},
        {"nothing dropped", nullptr, {}, 1, 0, "", 0},
        {"cut on a character", nullptr, {long_name}, 1, 1, "", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeData data(c.url, c.files);
        char path[256] = "junk";
        EXPECT_EQ(c.found, GetDroppedPath(&data, c.index, path));
        EXPECT_EQ(c.count, CountDroppedFiles(&data));
        if (std::string(c.name) == "cut on a character") {
            EXPECT_EQ(255u, std::strlen(path));  // "C:\" and 126 two-byte characters
            EXPECT_EQ(0, std::strncmp(path + 253, "\xC3\x84", 2));
        } else {
            EXPECT_EQ(c.path, path);
        }
    }
    const std::string log = testing::ReadFileBytes(LogPath());
    EXPECT_NE(std::string::npos, log.find("text/x-moz-url: http://shop/x\nC:\\Fonts\\A.otf\r"));
    EXPECT_NE(std::string::npos, log.find("pathFromURL: C:\\Fonts\\A.otf\r"));
    EXPECT_NE(std::string::npos, log.find("pathFromHDrop: C:\\b.otf\r"));
    OpenLogInFolder(0, nullptr, "");  // logging off again
}

}  // namespace
}  // namespace glyphoria
