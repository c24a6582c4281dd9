// The purchase window's controller.
#include "mac/buy_controller.h"

#include <boost/bind/bind.hpp>

#include "mac/mac_alerts.h"
#include "mac/mac_folders.h"
#include "mac/mac_log.h"
#include "mac/mac_services.h"
#include "mac/mac_strings.h"
#include "mac/plist_prefs.h"
#include "platform/fs.h"
#include "platform/net.h"
#include "support/download_name.h"

namespace glyphoria::mac {

namespace {

bool IsArchiveType(const std::string& type) {
    return type == "application/zip" || type == "application/octet-stream";
}

bool IsFolder(const std::string& path) {
    return !path.empty() && platform::StatPath(path.c_str()).is_directory;
}

bool Exists(const std::string& path) {
    return !path.empty() && platform::StatPath(path.c_str()).exists;
}

// Longest destination path handed to the engine.
constexpr std::size_t kMaxDestinationPath = 1024;

// The last component of the server's name, or empty when that is no safe
// file name: the server must not choose where in the file system it writes.
std::string SafeFileName(const std::string& suggested) {
    std::string name = suggested;
    const std::size_t sep = name.find_last_of("/\\");
    if (sep != std::string::npos) name = name.substr(sep + 1);
    return IsSafeDownloadName(name.c_str()) ? name : std::string();
}

std::string LastComponent(const std::string& path) {
    const std::size_t sep = path.find_last_of('/');
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

// Holds the host's modal-dialog state from construction to destruction.
class ModalState {
  public:
    ModalState() {
        if (Services().enter_modal_state) Services().enter_modal_state();
    }
    ~ModalState() {
        if (Services().leave_modal_state) Services().leave_modal_state();
    }
    ModalState(const ModalState&) = delete;
    ModalState& operator=(const ModalState&) = delete;
};

BuyController*& Running() {
    static BuyController* running = nullptr;
    return running;
}

}  // namespace

void BuyController::runModal(const std::string& url) {
    BuyController controller;
    BuyController* outer = Running();
    Running() = &controller;
    controller.runModalWithAddress(url);
    Running() = outer;
}

BuyController* BuyController::running() {
    return Running();
}

BuyController::~BuyController() {
    releaseWindows();
}

void BuyController::runModalWithAddress(const std::string& url) {
    ModalState modal_state;
    Application* app = Services().application;
    NibLoader* nibs = Services().nibs;
    if (!app || !nibs || !nibs->loadBuyController(&nib_) || !nib_.panel || !nib_.web_view ||
        !nib_.progress_sheet || !nib_.progress_bar || !nib_.install_button || !nib_.folder_field) {
        MacLog("Buy: cannot load the window description %s", "BuyController");
        releaseWindows();
        return;
    }
    awakeFromNib();

    nib_.web_view->setPolicyDelegate(this);
    nib_.web_view->setDownloadDelegate(this);
    nib_.web_view->loadUrl(url);

    nib_.panel->setZoomButtonEnabled(false);

    if (MacPrefs().HasString("buyFrame"))
        nib_.panel->setFrameFromString(MacPrefs().GetString("buyFrame", ""));
    LocalizeWindow(*nib_.panel);
    LocalizeWindow(*nib_.progress_sheet);

    MacLog("Buy: runModal");
    app->runModalForWindow(*nib_.panel);

    MacLog("Buy: cleanup");
    // The loop ends only by Close, which the sheet keeps away while a
    // download runs; should one still run, it stops here so that nothing
    // calls into this controller after it is gone.
    if (download_) doCancelBtn();
    MacPrefs().SetString("buyFrame", nib_.panel->frameString(), true);
    nib_.panel->orderOut();
    releaseWindows();
}

void BuyController::releaseWindows() {
    if (nib_.web_view) {
        nib_.web_view->setPolicyDelegate(nullptr);
        nib_.web_view->setDownloadDelegate(nullptr);
        nib_.web_view = nullptr;
    }
    Application* app = Services().application;
    for (std::unique_ptr<Window>* window : {&nib_.panel, &nib_.progress_sheet}) {
        if (!*window) continue;
        if (app)
            app->releaseWhenIdle(std::move(*window));
        else
            window->reset();
    }
    nib_.progress_bar = nib_.cancel_button = nib_.install_button = nullptr;
    nib_.folder_field = nib_.choose_button = nib_.show_button = nib_.close_button = nullptr;
}

void BuyController::awakeFromNib() {
    wireActions();
    nib_.folder_field->text = MacPrefs().GetString("downloadTo", "");
    nib_.install_button->state = MacPrefs().GetInt("install", 1) != 0 ? 1 : 0;
}

// The window description wires its buttons to the owner's actions.
void BuyController::wireActions() {
    using boost::placeholders::_1;
    if (nib_.choose_button)
        nib_.choose_button->action = boost::bind(&BuyController::doChooseBtn, this);
    if (nib_.show_button) nib_.show_button->action = boost::bind(&BuyController::doShowBtn, this);
    if (nib_.close_button)
        nib_.close_button->action = boost::bind(&BuyController::doCloseBtn, this);
    if (nib_.cancel_button)
        nib_.cancel_button->action = boost::bind(&BuyController::doCancelBtn, this);
}

std::string BuyController::folderPath() const {
    return nib_.folder_field ? nib_.folder_field->text : std::string();
}

void BuyController::doChooseBtn() {
    OpenPanel* chooser = Services().open_panel;
    if (!chooser || !nib_.folder_field) return;
    OpenPanelOptions options;
    options.title = MacLocalized("prompt");
    options.can_choose_files = false;
    options.can_choose_directories = true;
    options.allows_multiple_selection = false;
    options.can_create_directories = true;
    std::vector<std::string> paths;
    if (chooser->runModal(options, &paths) != kOpenPanelOk || paths.empty()) return;
    nib_.folder_field->text = paths.front();
    MacPrefs().SetString("downloadTo", paths.front(), false);
}

void BuyController::doShowBtn() {
    const std::string path = folderPath();
    if (Exists(path)) {
        if (Workspace* workspace = Services().workspace) workspace->selectFile(path, "");
        return;
    }
    SetMessageDetailText(path);
    ShowMessage("invalidPath");
}

void BuyController::doCloseBtn() {
    if (nib_.install_button)
        MacPrefs().SetInt("install", nib_.install_button->state ? 1 : 0, false);
    if (Application* app = Services().application) app->stopModal();
}

void BuyController::doCancelBtn() {
    MacLog("doCancelBtn");
    if (!download_) return;
    download_->cancel();
    endSheet(kSheetDownloadStopped);
}

void BuyController::decidePolicyForNavigationAction(WebView&, const std::string& url,
                                                    PolicyListener& listener) {
    MacLog("Buy: policyForNavigation: %s", url.c_str());
    listener.use();
}

void BuyController::decidePolicyForMIMEType(WebView&, const std::string& type, const std::string&,
                                            PolicyListener& listener) {
    MacLog("Buy: policyForType: %s", type.c_str());
    if (!IsArchiveType(type)) {
        listener.use();
        return;
    }
    // Only a folder can take the archive; a file of that name would make the
    // download fail after it began.
    if (!IsFolder(folderPath())) doChooseBtn();
    if (IsFolder(folderPath())) {
        listener.download();
        return;
    }
    ShowMessage("invalidPath");
    listener.ignore();
}

void BuyController::downloadDidBegin(Download& download) {
    MacLog("downloadDidBegin: %s", download.requestUrl().c_str());
    if (download_) {
        MacLog("downloadDidBegin: %s", "another download is running; this one is cancelled");
        download.cancel();
        return;
    }
    Application* app = Services().application;
    if (!app || !nib_.progress_sheet || !nib_.panel) {
        download.cancel();
        return;
    }
    download_ = &download;
    zip_path_.clear();
    error_status_ = 0;
    nib_.progress_bar->indeterminate = false;
    nib_.progress_bar->min_value = 0;
    nib_.progress_bar->max_value = 0;
    nib_.progress_bar->value = 0;
    sheet_shown_ = true;
    using boost::placeholders::_1;
    using boost::placeholders::_2;
    app->beginSheet(*nib_.progress_sheet, *nib_.panel,
                    boost::bind(&BuyController::sheetDidEnd, this, _1, _2));
}

std::string BuyController::decideDestinationWithSuggestedFilename(Download& download,
                                                                  const std::string& filename,
                                                                  bool* allow_overwrite) {
    MacLog("\tsuggestedFileName: %s", filename.c_str());
    if (&download != download_) return {};
    if (error_status_) {
        refuseErrorAnswer(download, filename);
        return {};
    }
    const std::string name = SafeFileName(filename);
    // Beside a file of that name, never over it.
    zip_path_ = name.empty() ? std::string() : FreePathIn(folderPath(), name, kMaxDestinationPath);
    if (zip_path_.empty()) {
        if (name.empty())
            MacLog("\tsuggestedFileName refused: %s", filename.c_str());
        else
            MacLog("\tno free name for: %s", name.c_str());
        SetMessageDetailText(filename);
        ShowMessage("invalidPath");
        endSheet(kSheetDownloadStopped);
        return {};
    }
    suggested_name_ = name;
    MacLog("\tdestination: %s", zip_path_.c_str());
    if (allow_overwrite) *allow_overwrite = false;
    return zip_path_;
}

void BuyController::didReceiveResponse(Download& download, std::int64_t expected_length) {
    MacLog("\tdidReceiveResponse: %lld", static_cast<long long>(expected_length));
    if (&download != download_) return;
    const int status = download.responseStatus();
    if (status != 0 && !platform::IsSuccessStatus(status)) {
        // An error page under the archive's name would be installed as fonts.
        MacLog("\tdidReceiveResponse: status %d", status);
        error_status_ = status;
        // The engine names the file after the response; one that named it
        // before has made the file already.
        if (!zip_path_.empty()) refuseErrorAnswer(download, suggested_name_);
        return;
    }
    // Without a length the bar can only show that something happens.
    nib_.progress_bar->indeterminate = expected_length < 0;
    nib_.progress_bar->min_value = 0;
    nib_.progress_bar->max_value = expected_length < 0 ? 0 : static_cast<double>(expected_length);
    nib_.progress_bar->value = 0;
}

void BuyController::didReceiveDataOfLength(Download& download, std::uint32_t length) {
    if (&download != download_) return;
    nib_.progress_bar->value += length;
}

void BuyController::downloadDidFinish(Download& download) {
    MacLog("downloadDidFinish: %s", download.requestUrl().c_str());
    if (&download != download_) return;
    endSheet(kSheetDownloadFinished);
}

void BuyController::didFailWithError(Download& download, const MacError& error) {
    MacLog("didFailWithError: %s", download.requestUrl().c_str());
    if (&download != download_) return;
    ShowAlertText(error.localized_description);
    endSheet(kSheetDownloadStopped);
}

void BuyController::refuseErrorAnswer(Download& download, const std::string& name) {
    download.cancel();
    if (!zip_path_.empty()) platform::RemoveFile(zip_path_.c_str());
    zip_path_.clear();
    SetMessageDetail("netStatus", error_status_);
    ShowMessage("zipDownloadErr", name.c_str());
    endSheet(kSheetDownloadStopped);
}

void BuyController::endSheet(int code) {
    if (!sheet_shown_) return;
    sheet_shown_ = false;
    Application* app = Services().application;
    if (app && nib_.progress_sheet)
        app->endSheet(*nib_.progress_sheet, code);
    else if (nib_.progress_sheet)
        sheetDidEnd(*nib_.progress_sheet, code);
}

void BuyController::sheetDidEnd(Window& sheet, int code) {
    MacLog("sheetDidEnd");
    download_ = nullptr;
    sheet.orderOut();
    const std::string archive = std::move(zip_path_);
    const std::string suggested = std::move(suggested_name_);
    zip_path_.clear();
    suggested_name_.clear();
    if (code != kSheetDownloadFinished || archive.empty()) return;
    if (LastComponent(archive) != suggested)
        ShowMessage("savedAs", suggested.c_str(), LastComponent(archive).c_str());
    // The box says "install after download": unchecked, the archive is only kept.
    if (!nib_.install_button || !nib_.install_button->state) {
        MacLogText("sheetDidEnd: not installing " + archive);
        return;
    }
    if (Services().install_fonts) Services().install_fonts(archive.c_str());
}

}  // namespace glyphoria::mac
