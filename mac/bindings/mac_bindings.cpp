#include "mac/bindings/mac_bindings.h"

#include <cstdlib>
#include <memory>
#include <vector>

#include "host/sdk/document.h"
#include "host/sdk/services.h"
#include "host/sdk/session.h"
#include "host/sdk/utils.h"
#include "mac/mac_alerts.h"
#include "mac/mac_folders.h"
#include "mac/mac_log.h"
#include "mac/net_errors.h"
#include "mac/plist_prefs.h"
#include "platform/fs.h"
#include "platform/net.h"
#include "platform/new_file.h"
#include "purchase/fetch_limits.h"
#include "purchase/font_install.h"
#include "sampling/frame_actions.h"
#include "sampling/frame_steps.h"
#include "support/file_utils.h"

namespace glyphoria::mac {

namespace {

// The modal-dialog states the purchase panels hold, innermost last.
std::vector<std::unique_ptr<AcquireModalDialogState>>& ModalStates() {
    static std::vector<std::unique_ptr<AcquireModalDialogState>> states;
    return states;
}

// The idle task of the Mac start-up: an object of its own in the host, since
// these bindings have no boss of the plug-in to add it to.
class MacIdleTask final : public IIdleTask {
  public:
    explicit MacIdleTask(MacHostCalls host) : host_(std::move(host)) {}

    IPMUnknown* QueryInterface(PMIID iid) const override {
        if (iid != IID_IIDLETASK) return nullptr;
        AddRef();
        return const_cast<MacIdleTask*>(this);
    }
    void AddRef() const override { ++references_; }
    void Release() const override {
        if (--references_ == 0) delete this;
    }

    uint32 RunTask(uint32, IdleTimer*) override { return MacRunTask(host_); }
    void InstallTask(uint32 delay) override { task_.InstallTask(delay); }
    void UninstallTask() override { task_.UninstallTask(); }
    const char* TaskName() override { return "Glyphoria"; }

  private:
    ~MacIdleTask() = default;

    // The host's installer, with this object as its owner.
    class Installer : public CIdleTask {
      public:
        explicit Installer(MacIdleTask* owner) : CIdleTask(owner), owner_(owner) {}
        uint32 RunTask(uint32 flags, IdleTimer* timer) override {
            return owner_->RunTask(flags, timer);
        }
        const char* TaskName() override { return owner_->TaskName(); }

      private:
        MacIdleTask* owner_;
    };

    MacHostCalls host_;
    mutable int references_ = 1;
    Installer task_{this};
};

bool SameFileRemoved(const std::string& path) {
    return !platform::StatPath(path.c_str()).exists || DeleteFileForce(path.c_str());
}

bool RecordBundle() {
    return platform::StatPath(BundleResourcesFolder().c_str()).is_directory;
}

void BindShortcut(int action, const char* context, std::uint32_t key, int modifiers) {
    ISession* session = GetExecutionContextSession();
    IApplication* app = session ? session->QueryApplication() : nullptr;
    InterfacePtr<IShortcutManager> shortcuts(app, IID_ISHORTCUTMANAGER);
    if (!shortcuts) return;
    shortcuts->RemoveAllShortcutsForAction(action);
    shortcuts->AddShortcut(action, PMString(context), VirtualKey(0, key), modifiers);
}

void InstallIdleTask() {
    // The task only binds the shortcut.
    MacHostCalls calls;
    calls.bind_shortcut = &BindShortcut;
    auto* task = new MacIdleTask(calls);
    task->InstallTask(0);
    task->Release();  // the host holds it while it is installed
}

// The first character of UTF-8 text, or 0.
UTF32TextChar FirstCharacter(const std::string& text) {
    if (text.empty()) return 0;
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if (lead >= 0x80 && (lead < 0xC0 || text.size() < length)) return 0;
    UTF32TextChar code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i)
        code = (code << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
    return code;
}

}  // namespace

bool HostUndoInFrontDocument() {
    IDocument* document = Utils<ILayoutUtils>()->GetFrontDocument();
    if (!document) return false;
    InterfacePtr<IUndoManager> undo(
        Utils<IUndoUtils>()->QueryUndoManager(document->GetDocumentDataBase()));
    if (!undo) return false;
    MacLog("panel: undo in the front document: %d", static_cast<int>(undo->UndoLastStep()));
    return true;
}

bool SendPanelKeyToHost(const PanelEvent& event) {
    constexpr std::uint64_t kHeld =
        kShiftKeyMask | kControlKeyMask | kAlternateKeyMask | kCommandKeyMask;
    const int32 modifiers =
        kMacShortcutModifier | static_cast<int32>((event.modifier_flags & kHeld) >> 16);
    const UTF32TextChar key = FirstCharacter(event.characters_ignoring_modifiers);
    return key && SendKeyToApplication(VirtualKey(0, key), modifiers);
}

bool FetchWholeDocument(const std::string& url, std::string* data, MacError* error) {
    data->clear();
    MacError failed{"NSURLErrorDomain", -1100, "The document at " + url + " could not be loaded."};
    // The download lands in a file of our own, beside nothing of anyone else.
    const std::string folder = TemporaryFolder();
    char path[1024] = "";
    platform::NewFile scratch;
    if (folder.empty() ||
        !scratch.CreateUnique(folder.c_str(), "GL_fetch_", ".tmp", path, sizeof path)) {
        if (error) *error = failed;
        return false;
    }
    scratch.Close();
    SameFileRemoved(path);
    platform::NetError why;
    const bool fetched = platform::DownloadToFile(url.c_str(), path, BlockingFetchLimits(), &why);
    // The cause, as the URL loading would give it; a file we could not read
    // back keeps the general text.
    if (!fetched) failed = MacErrorOf(why);
    std::uint32_t size = 0;
    char* bytes = fetched ? ReadWholeFile(path, &size) : nullptr;
    if (bytes) data->assign(bytes, size);
    std::free(bytes);
    SameFileRemoved(path);
    if (!bytes) {
        if (error) *error = failed;
        return false;
    }
    return true;
}

SamplerSettings MacSamplerSettings() {
    SamplerSettings settings;
    settings.base_url = MacPrefs().GetString("mlSamplerUrl", "");
    settings.size_factor = static_cast<float>(MacPrefs().GetFloat("sampleSizeFactor", 1.0));
    return settings;
}

PreviewFetcher MacConcurrentPreviews() {
    return ConcurrentPreviews([](const std::string& path, const platform::NetError& error) {
        if (error.failure != platform::NetFailure::kNone) {
            MacLogText(MacErrorOf(error).localized_description);
            return;
        }
        std::uint32_t size = 0;
        char* bytes = ReadWholeFile(path.c_str(), &size);
        std::free(bytes);
        if (size == 0) {
            DeleteFileForce(path.c_str());
            return;
        }
        MacLog("preview: %s", path.c_str());
    });
}

void BindMacFlows(MacServices* services) {
    services->load_document = &FetchWholeDocument;
    services->try_fonts = [](const char* query) {
        TryFontFetching(query, MacSamplerSettings(), MacConcurrentPreviews());
    };
    services->revert_frames = [](const char* query) { RevertFrames(query); };
    // The try and the revert, and the installer too, speak through the Mac
    // form's alerts (and log), keyed by the Mac string dictionary, like the
    // rest of the Mac windows.
    SetActionMessageForm(&mac::ShowMessage);
    FontInstallVoice voice;
    voice.already_installed = [](const char* file_name) {
        ShowMessage("fontInstalledErr", file_name);
    };
    voice.log = [](const std::string& line) { MacLogText(line); };
    SetFontInstallVoice(voice);
    services->install_fonts = [](const char* archive) { InstallFontsFromArchive(archive); };
    services->enter_modal_state = [] {
        ModalStates().push_back(std::make_unique<AcquireModalDialogState>());
    };
    services->leave_modal_state = [] {
        if (!ModalStates().empty()) ModalStates().pop_back();
    };
    services->host_prepare_undo = &HostUndoInFrontDocument;
    services->send_key_to_host = [](const PanelEvent& event) { SendPanelKeyToHost(event); };
    services->host_main_window = []() -> std::uintptr_t {
        ISession* session = GetExecutionContextSession();
        IApplication* app = session ? session->QueryApplication() : nullptr;
        return app ? app->GetMainWindowHandle() : 0;
    };
}

MacHostCalls HostMacCalls() {
    MacHostCalls calls;
    calls.record_bundle = &RecordBundle;
    calls.install_idle_task = &InstallIdleTask;
    calls.bind_shortcut = &BindShortcut;
    return calls;
}

}  // namespace glyphoria::mac
