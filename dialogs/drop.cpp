// Dropped data: the browser's URL form and the shell's file-drop list.
#include "dialogs/drop.h"

#include "platform/win32/windows_api.h"
// These need windows.h before them.
#include <objidl.h>
#include <shellapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/log.h"
#include "support/text_convert.h"

namespace glyphoria {

namespace {

using platform::win32::Narrow;

// Owns the storage that IDataObject::GetData hands out.
class Medium {
  public:
    Medium(IDataObject* data, CLIPFORMAT format) {
        FORMATETC wanted = {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        ok_ = data && SUCCEEDED(data->GetData(&wanted, &medium_)) &&
              medium_.tymed == TYMED_HGLOBAL && medium_.hGlobal;
    }
    ~Medium() {
        if (ok_) ReleaseStgMedium(&medium_);
    }
    Medium(const Medium&) = delete;
    Medium& operator=(const Medium&) = delete;

    bool ok() const { return ok_; }
    HGLOBAL memory() const { return medium_.hGlobal; }

  private:
    STGMEDIUM medium_ = {};
    bool ok_ = false;
};

std::size_t CopyCut(const std::string& text, char* dest, std::size_t cap) {
    std::size_t n = Utf8PrefixLength(text.data(), text.size(), cap - 1);
    std::memcpy(dest, text.data(), n);
    dest[n] = '\0';
    return n;
}

// The UTF-16 text of the memory, up to its first NUL or its end: the data
// comes from another program and need not be terminated.
std::wstring WideTextOf(HGLOBAL memory) {
    const std::size_t units = GlobalSize(memory) / sizeof(wchar_t);
    const auto* text = static_cast<const wchar_t*>(GlobalLock(memory));
    if (!text) return std::wstring();
    std::size_t length = 0;
    while (length < units && text[length])
        ++length;
    std::wstring copy(text, length);
    GlobalUnlock(memory);
    return copy;
}

int FileCount(HGLOBAL memory) {
    return static_cast<int>(DragQueryFileW(static_cast<HDROP>(memory), 0xFFFFFFFF, nullptr, 0));
}

}  // namespace

int CountDroppedFiles(IDataObject* data) {
    Medium drop(data, CF_HDROP);
    return drop.ok() ? FileCount(drop.memory()) : 0;
}

int GetDroppedPath(IDataObject* data, int index, char* dest, std::size_t cap) {
    if (!dest || cap == 0) return 0;
    dest[0] = '\0';
    if (!data) return 0;

    const auto url_format = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"text/x-moz-url"));
    Medium url(data, url_format);
    if (url.ok()) {
        const std::string text = Narrow(WideTextOf(url.memory()).c_str());
        LogMessage("text/x-moz-url: %s\r", text.c_str());
        const std::size_t line_feed = text.find('\n');
        if (line_feed == std::string::npos) return 0;
        CopyCut(text.substr(line_feed + 1), dest, cap);
        LogMessage("pathFromURL: %s\r", dest);
        return 1;
    }

    Medium drop(data, CF_HDROP);
    if (!drop.ok()) return 0;
    // Index 0 would ask the list for its count instead of a file.
    if (index < 1 || index > FileCount(drop.memory())) return 0;
    auto hdrop = static_cast<HDROP>(drop.memory());
    const UINT file = static_cast<UINT>(index - 1);
    const UINT length = DragQueryFileW(hdrop, file, nullptr, 0);
    std::vector<wchar_t> path(length + 1, L'\0');
    if (DragQueryFileW(hdrop, file, path.data(), length + 1) == 0) return 0;
    CopyCut(Narrow(path.data()), dest, cap);
    LogMessage("pathFromHDrop: %s\r", dest);
    return 1;
}

}  // namespace glyphoria
