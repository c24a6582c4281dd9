// glyphoria-host --window: the program's run around the layout window. The
// headless program loads this module and hands it its command line; the
// steps are the headless ones (host/app/program.h) with the event loop in
// the middle: open the document, load the plug-ins, show the window, start
// the plug-ins, run the script (if any) from the loop, and when the window
// closes (which shuts the plug-ins down) render, close and unload.
//
// Exit status: 0, or 1 when the document cannot be opened, there is no
// display, a script line failed (the window then closes) or --render failed;
// 2 for a command line that is not understood.
#include <gtk/gtk.h>

#include <iostream>
#include <memory>

#include "host/app/program.h"
#include "host/app/script.h"
#include "host/core/framework.h"
#include "host/window/layout_window.h"
#include "host/window/window_script.h"

extern "C" __attribute__((visibility("default"))) int glyphoria_host_window_main(int argc,
                                                                                 char** argv) {
    hostapp::ProgramOptions o;
    const int status = hostapp::ReadProgramCommandLine(argc, argv, &o);
    if (status >= 0) return status;
    if (!gtk_init_check(nullptr, nullptr)) {
        std::cerr << "glyphoria-host: --window needs a display (is DISPLAY set?)\n";
        return 1;
    }
    if (!hostapp::OpenProgramDocument(o)) return 1;
    hostapp::LoadProgramPlugIns(o);

    bool ok = true;
    {
        hostwindow::LayoutWindow window(o.doc);
        window.SetCloseHandler([] { gtk_main_quit(); });
        window.Show();
        hostcore::StartupPlugIns();

        std::unique_ptr<hostwindow::WindowScript> script;
        if (!o.script.empty()) {
            script = std::make_unique<hostwindow::WindowScript>(
                &window, hostapp::ScriptContext{&std::cout, hostapp::ScriptFolder(o), o.doc});
            // A failed line ends the session; a script that ran through leaves
            // the window to the person.
            script->SetDoneHandler([&](bool done) {
                if (done) return;
                ok = false;
                window.Close();
            });
            if (o.script == "-") {
                script->StartStandardInput();
            } else if (!script->StartFile(o.script)) {
                std::cerr << "glyphoria-host: cannot read " << o.script << "\n";
                ok = false;
                window.Close();
            }
        }
        if (!window.Closed()) gtk_main();
        script.reset();
    }
    if (ok) ok = hostapp::RenderProgramPicture(o);
    hostapp::EndProgram();
    return ok ? 0 : 1;
}
