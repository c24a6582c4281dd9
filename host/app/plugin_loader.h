// Loading plug-in modules: the module by path, its GetPlugIn entry, its
// resource description (exported GetPlugInResources, else the file beside
// the module with the extension ".rsrc.json"), then registration with the
// framework. Modules stay loaded until UnloadPlugInModules, which must come
// after hostcore::ShutdownPlugIns.
#pragma once

#include <string>
#include <vector>

namespace hostapp {

// false with *error set; a module that fails is unloaded again.
bool LoadPlugInModule(const std::string& path, std::string* error);
// Every "*.pln" file of the folder, in name order. Returns how many loaded;
// the reasons for the others are appended to *errors.
int LoadPlugInFolder(const std::string& folder, std::vector<std::string>* errors);
std::vector<std::string> LoadedPlugInModules();
void UnloadPlugInModules();

}  // namespace hostapp
