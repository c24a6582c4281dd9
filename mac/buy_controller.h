// The purchase window: a modal panel with the shop's cart, a download folder
// (field and chooser), an install check box and a progress sheet.
//
// runModal holds the host's modal-dialog state for the whole run, loads the
// panel, loads the address, restores "buyFrame", translates the panel's
// texts and runs the modal loop until Close; then it saves "buyFrame" and
// writes the preferences ("downloadTo" and "install" go to disk with it).
//
// A response of type "application/zip" or "application/octet-stream" is
// downloaded into the folder (the chooser first when the field names no
// folder; "invalidPath" and no download when there is still none); any other
// type is shown. The archive is saved under the last component of the name
// the server suggests; a name that is not safe (support/download_name.h)
// refuses the download. A file already in the folder is never replaced: the
// archive goes beside it under the first free name ("fonts (2).zip"), which
// is logged and, after the download, shown ("savedAs"). An answer whose
// status is not 2xx is no archive: the download stops, its file is removed
// and "zipDownloadErr" says why. While it runs a progress sheet is shown; it
// ends with -1000 when the download finished and -1001 when it failed or was
// cancelled. After -1000, and only while the install box is checked, the
// fonts of the archive are installed. Only one download runs at a time; a second one that begins
// meanwhile is cancelled. Calls from a download that is not the running one
// are ignored.
#pragma once

#include <string>

#include "mac/seam/nib_loader.h"
#include "mac/seam/web_view.h"
#include "mac/seam/window.h"

namespace glyphoria::mac {

constexpr int kSheetDownloadFinished = -1000;
constexpr int kSheetDownloadStopped = -1001;

class BuyController : public PolicyDelegate, public DownloadDelegate {
  public:
    // Class operation: one instance for this run of the panel.
    static void runModal(const std::string& url);
    // The instance whose panel runs now, or null.
    static BuyController* running();

    BuyController() = default;
    ~BuyController() override;
    BuyController(const BuyController&) = delete;
    BuyController& operator=(const BuyController&) = delete;

    // The instance's runModal.
    void runModalWithAddress(const std::string& url);
    void awakeFromNib();

    void doChooseBtn();
    void doShowBtn();
    void doCloseBtn();
    void doCancelBtn();

    void decidePolicyForNavigationAction(WebView&, const std::string& url,
                                         PolicyListener& listener) override;
    void decidePolicyForMIMEType(WebView&, const std::string& type, const std::string& url,
                                 PolicyListener& listener) override;

    void downloadDidBegin(Download& download) override;
    std::string decideDestinationWithSuggestedFilename(Download& download,
                                                       const std::string& filename,
                                                       bool* allow_overwrite) override;
    void didReceiveResponse(Download& download, std::int64_t expected_length) override;
    void didReceiveDataOfLength(Download& download, std::uint32_t length) override;
    void downloadDidFinish(Download& download) override;
    void didFailWithError(Download& download, const MacError& error) override;

    void sheetDidEnd(Window& sheet, int code);

    Window* panel() const { return nib_.panel.get(); }
    WebView* webView() const { return nib_.web_view; }
    Window* progressSheet() const { return nib_.progress_sheet.get(); }
    const std::string& zipPath() const { return zip_path_; }
    Download* download() const { return download_; }

  private:
    void wireActions();
    void endSheet(int code);
    void refuseErrorAnswer(Download& download, const std::string& name);
    std::string folderPath() const;
    void releaseWindows();

    BuyNib nib_;
    std::string zip_path_;          // mZipPath
    std::string suggested_name_;    // the server's name for the archive at zip_path_
    int error_status_ = 0;          // the response's status when it was no success
    Download* download_ = nullptr;  // mDownload
    bool sheet_shown_ = false;
};

}  // namespace glyphoria::mac
