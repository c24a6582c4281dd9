#include "mac/gtk/gtk_desktop.h"

#include <gio/gio.h>
#include <gtk/gtk.h>

#include "mac/mac_log.h"
#include "support/vendor_addresses.h"

namespace glyphoria::mac {

namespace {

constexpr int kAlertFirstButtonReturn = 1000;
constexpr int kFileManagerTimeoutMs = 2000;

bool LaunchDefault(const std::string& uri) {
    GError* error = nullptr;
    const gboolean launched = g_app_info_launch_default_for_uri(uri.c_str(), nullptr, &error);
    if (!launched) {
        MacLog("workspace: %s: %s", uri.c_str(), error ? error->message : "not launched");
        g_clear_error(&error);
    }
    return launched;
}

std::string FileUri(const std::string& path) {
    char* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
    std::string out = uri ? uri : "";
    g_free(uri);
    return out;
}

bool ShowInFileManager(const std::string& uri) {
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    if (!bus) return false;
    const char* items[] = {uri.c_str(), nullptr};
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_sync(
        bus, "org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
        "org.freedesktop.FileManager1", "ShowItems", g_variant_new("(^ass)", items, ""), nullptr,
        G_DBUS_CALL_FLAGS_NONE, kFileManagerTimeoutMs, nullptr, &error);
    g_clear_error(&error);
    g_object_unref(bus);
    if (!reply) return false;
    g_variant_unref(reply);
    return true;
}

}  // namespace

int GtkMacOpenPanel::runModal(const OpenPanelOptions& options, std::vector<std::string>* paths) {
    const GtkFileChooserAction action = options.can_choose_directories && !options.can_choose_files
                                            ? GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER
                                            : GTK_FILE_CHOOSER_ACTION_OPEN;
    GtkWidget* dialog =
        gtk_file_chooser_dialog_new(options.title.c_str(), nullptr, action, "_Cancel",
                                    GTK_RESPONSE_CANCEL, "_Open", GTK_RESPONSE_ACCEPT, nullptr);
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
    gtk_file_chooser_set_select_multiple(chooser, options.allows_multiple_selection);
    gtk_file_chooser_set_create_folders(chooser, options.can_create_directories);
    const int response = gtk_dialog_run(GTK_DIALOG(dialog));
    int result = kOpenPanelCancel;
    if (response == GTK_RESPONSE_ACCEPT) {
        GSList* files = gtk_file_chooser_get_filenames(chooser);
        if (paths) paths->clear();
        for (GSList* f = files; f; f = f->next) {
            if (paths) paths->push_back(static_cast<const char*>(f->data));
            g_free(f->data);
        }
        g_slist_free(files);
        // A folder chooser accepted with nothing selected in it chooses the
        // folder it shows, as its Open button does.
        if (paths && paths->empty() && action == GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER) {
            if (char* folder = gtk_file_chooser_get_current_folder(chooser)) {
                paths->push_back(folder);
                g_free(folder);
            }
        }
        result = kOpenPanelOk;
    }
    gtk_widget_destroy(dialog);
    return result;
}

bool GtkMacWorkspace::openUrl(const std::string& url) {
    opened_.push_back(url);
    return LaunchDefault(url);
}

bool GtkMacWorkspace::selectFile(const std::string& path, const std::string& root) {
    const std::string full = root.empty() ? path : root + "/" + path;
    selected_.push_back(full);
    if (ShowInFileManager(FileUri(full))) return true;
    char* folder = g_path_get_dirname(full.c_str());
    const bool shown = LaunchDefault(FileUri(folder));
    g_free(folder);
    return shown;
}

bool GtkMacReachability::flagsForAddress(const IPv4SocketAddress&, std::uint32_t* flags) {
    GNetworkMonitor* monitor = g_network_monitor_get_default();
    if (!monitor) return false;
    *flags = g_network_monitor_get_network_available(monitor) ? kReachableFlag : 0;
    return true;
}

int GtkMacAlertPanel::runAlert(const std::string& message, const std::string& informative) {
    GtkWidget* dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_INFO,
                                               GTK_BUTTONS_OK, "%s", message.c_str());
    if (!informative.empty())
        gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(dialog), "%s",
                                                 informative.c_str());
    gtk_window_set_title(GTK_WINDOW(dialog), kProductName);
    gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
    return kAlertFirstButtonReturn;
}

}  // namespace glyphoria::mac
