// Script verbs on the front document: list, text, label, undo, redo, save,
// compare, render.
#include <cstdlib>
#include <ostream>

#include "host/app/doc_io.h"
#include "host/app/frame_compare.h"
#include "host/app/frame_lookup.h"
#include "host/app/render.h"
#include "host/app/script.h"
#include "host/core/document.h"
#include "host/core/host_state.h"
#include "host/sdk/strings.h"

namespace hostapp {

namespace {

hostcore::Document* Front(ScriptContext& ctx) {
    hostcore::Document* doc = hostcore::FrontDocument();
    if (!doc) ctx.Error("no document is open");
    return doc;
}

const char* KindName(const hostcore::DocModel& m, const hostcore::Node& n) {
    for (UID c : n.children) {
        const hostcore::Node* cn = m.FindNode(c);
        if (cn && cn->kind == hostcore::NodeKind::kTextContainer) return "text";
        if (cn && cn->kind == hostcore::NodeKind::kImage) return "picture";
    }
    return "empty";
}

bool List(ScriptContext& ctx, const std::vector<std::string>&) {
    hostcore::Document* doc = Front(ctx);
    if (!doc) return false;
    const hostcore::DocModel& m = doc->Model();
    std::vector<UID> frames = FramesInLayoutOrder(m);
    for (size_t i = 0; i < frames.size(); ++i) {
        const hostcore::Node& n = *m.FindNode(frames[i]);
        PMRect b = hostcore::DocModel::PasteboardBounds(n);
        ctx.Say() << "#" << i << " " << DescribeFrame(m, frames[i]) << " " << KindName(m, n) << " ["
                  << b.Left() << ", " << b.Top() << ", " << b.Right() << ", " << b.Bottom() << "]"
                  << (n.labels.empty() ? "" : " labelled") << "\n";
    }
    return true;
}

bool OneFrame(ScriptContext& ctx, const std::vector<std::string>& args, size_t count,
              const char* usage, hostcore::Document** doc, UID* uid) {
    if (args.size() != count) return ctx.Error(std::string("usage: ") + usage);
    *doc = Front(ctx);
    if (!*doc) return false;
    std::vector<UID> found;
    std::string error;
    if (!LookUpFrames((*doc)->Model(), {args[0]}, &found, &error)) return ctx.Error(error);
    *uid = found[0];
    return true;
}

bool Text(ScriptContext& ctx, const std::vector<std::string>& args) {
    hostcore::Document* doc;
    UID uid;
    if (!OneFrame(ctx, args, 1, "text FRAME", &doc, &uid)) return false;
    const hostcore::DocModel& m = doc->Model();
    for (UID c : m.FindNode(uid)->children) {
        const hostcore::Node* cn = m.FindNode(c);
        if (cn && cn->kind == hostcore::NodeKind::kTextContainer && m.stories.count(cn->story)) {
            std::u16string text = m.stories.at(cn->story).text;
            text.pop_back();  // the end marker
            ctx.Say() << "\"" << StringUtils::Utf16ToUtf8(text) << "\"\n";
            return true;
        }
    }
    return ctx.Error("the frame has no text");
}

bool Label(ScriptContext& ctx, const std::vector<std::string>& args) {
    hostcore::Document* doc;
    UID uid;
    if (!OneFrame(ctx, args, 2, "label FRAME KEY", &doc, &uid)) return false;
    const auto& labels = doc->Model().FindNode(uid)->labels;
    auto it = labels.find(args[1]);
    ctx.Say() << (it == labels.end() ? "(no label)" : it->second) << "\n";
    return true;
}

bool Undo(ScriptContext& ctx, const std::vector<std::string>&) {
    hostcore::Document* doc = Front(ctx);
    if (!doc) return false;
    std::string name = doc->UndoSteps().empty() ? "" : doc->UndoSteps().back().name;
    if (doc->Undo() != kSuccess) return ctx.Error("nothing to undo");
    ctx.Say() << "undid \"" << name << "\"\n";
    return true;
}

bool Redo(ScriptContext& ctx, const std::vector<std::string>&) {
    hostcore::Document* doc = Front(ctx);
    if (!doc) return false;
    std::string name = doc->RedoSteps().empty() ? "" : doc->RedoSteps().back().name;
    if (doc->Redo() != kSuccess) return ctx.Error("nothing to redo");
    ctx.Say() << "redid \"" << name << "\"\n";
    return true;
}

bool Save(ScriptContext& ctx, const std::vector<std::string>& args) {
    if (args.size() != 1) return ctx.Error("usage: save FILE.json");
    hostcore::Document* doc = Front(ctx);
    if (!doc) return false;
    std::string error;
    if (!SaveDocumentFile(ctx.Path(args[0]), doc->Model(), &error)) return ctx.Error(error);
    ctx.Say() << "saved " << args[0] << "\n";
    return true;
}

bool Compare(ScriptContext& ctx, const std::vector<std::string>& args) {
    if (args.size() != 1) return ctx.Error("usage: compare FILE.json");
    hostcore::Document* doc = Front(ctx);
    if (!doc) return false;
    hostcore::DocModel saved;
    std::string error;
    if (!LoadDocumentFile(ctx.Path(args[0]), &saved, &error)) return ctx.Error(error);
    const std::vector<std::string> differences = DocumentFrameDifferences(saved, doc->Model());
    for (const std::string& d : differences)
        ctx.Say() << d << "\n";
    if (!differences.empty()) return ctx.Error("the frames differ from " + args[0]);
    ctx.Say() << "the same frames as " << args[0] << "\n";
    return true;
}

bool Render(ScriptContext& ctx, const std::vector<std::string>& args) {
    if (args.empty() || args.size() > 3)
        return ctx.Error("usage: render FILE.png [SPREAD] [SCALE]");
    hostcore::Document* doc = Front(ctx);
    if (!doc) return false;
    RenderOptions options;
    if (args.size() > 1) options.spread = std::atoi(args[1].c_str()) - 1;
    if (args.size() > 2) options.scale = std::atof(args[2].c_str());
    std::string error;
    if (!RenderSpreadToPng(doc->Model(), options, ctx.Path(args[0]), &error))
        return ctx.Error(error);
    ctx.Say() << "rendered " << args[0] << "\n";
    return true;
}

ScriptVerb gList("list", "list                 the frames of the front document", List);
ScriptVerb gText("text", "text FRAME           the frame's text", Text);
ScriptVerb gLabel("label", "label FRAME KEY      the frame's label under KEY", Label);
ScriptVerb gUndo("undo", "undo                 undo the last step", Undo);
ScriptVerb gRedo("redo", "redo                 redo the last undone step", Redo);
ScriptVerb gSave("save", "save FILE.json       save the front document", Save);
ScriptVerb gCompare("compare",
                    "compare FILE.json    the frames against a saved document's (text, runs, "
                    "names, labels, fills, boxes, rotation, shear)",
                    Compare);
ScriptVerb gRender("render", "render FILE.png [SPREAD] [SCALE]  picture of a spread (from 1)",
                   Render);

}  // namespace

}  // namespace hostapp
