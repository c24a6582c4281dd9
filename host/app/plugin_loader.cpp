#include "host/app/plugin_loader.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "host/app/paths.h"
#include "host/core/file_uri.h"
#include "host/core/framework.h"
#include "host/sdk/plugin.h"
#include "platform/library.h"

namespace hostapp {

namespace {

struct Module {
    std::string path;
    void* handle;
};

std::vector<Module>& Modules() {
    static std::vector<Module> modules;
    return modules;
}

std::string ResourceFileFor(const std::string& path) {
    size_t slash = LastSeparator(path);
    size_t dot = path.rfind('.');
    std::string stem = dot != std::string::npos && (slash == std::string::npos || dot > slash)
                           ? path.substr(0, dot)
                           : path;
    return stem + ".rsrc.json";
}

}  // namespace

bool LoadPlugInModule(const std::string& path, std::string* error) {
    namespace platform = glyphoria::platform;
    void* handle = platform::LoadLibraryUtf8(path.c_str());
    if (!handle) {
        *error = path + ": cannot load (" + platform::LastLibraryError() + ")";
        return false;
    }
    auto getPlugIn = reinterpret_cast<GetPlugInProc>(platform::FindExport(handle, "GetPlugIn"));
    IPlugIn* plugin = getPlugIn ? getPlugIn() : nullptr;
    if (!plugin) {
        *error = path + ": no GetPlugIn entry or no plug-in object";
        platform::FreeLibraryHandle(handle);
        return false;
    }
    std::string resources;
    auto getResources = reinterpret_cast<GetPlugInResourcesProc>(
        platform::FindExport(handle, "GetPlugInResources"));
    const char* exported = getResources ? getResources() : nullptr;
    if (exported) {
        resources = exported;
    } else if (!hostcore::ReadWholeFile(ResourceFileFor(path), &resources)) {
        *error = path + ": no resource description (" + ResourceFileFor(path) + ")";
        platform::FreeLibraryHandle(handle);
        return false;
    }
    std::string why;
    if (!hostcore::InstallPlugIn(plugin, resources, &why, handle, path)) {
        *error = path + ": " + why;
        platform::FreeLibraryHandle(handle);
        return false;
    }
    Modules().push_back(Module{path, handle});
    return true;
}

int LoadPlugInFolder(const std::string& folder, std::vector<std::string>* errors) {
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".pln") == 0) names.push_back(name);
    }
    if (ec) {
        errors->push_back(folder + ": cannot read the folder");
        return 0;
    }
    std::sort(names.begin(), names.end());
    int loaded = 0;
    for (const std::string& name : names) {
        std::string error;
        if (LoadPlugInModule(folder + "/" + name, &error))
            ++loaded;
        else
            errors->push_back(error);
    }
    return loaded;
}

std::vector<std::string> LoadedPlugInModules() {
    std::vector<std::string> out;
    for (const Module& m : Modules())
        out.push_back(m.path);
    return out;
}

void UnloadPlugInModules() {
    auto& modules = Modules();
    while (!modules.empty()) {
        glyphoria::platform::FreeLibraryHandle(modules.back().handle);
        modules.pop_back();
    }
}

}  // namespace hostapp
