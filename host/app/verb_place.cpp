// Script verb "place": what a try does to a frame, without a plug-in. The
// frame is replaced by a picture frame on its layer at its box, fitted, with
// the picture kept in the document, as one undo step; when the picture
// cannot be placed the step is abandoned and the frame stays.
#include <ostream>

#include "host/app/frame_lookup.h"
#include "host/app/script.h"
#include "host/core/document.h"
#include "host/core/edits.h"
#include "host/core/file_uri.h"
#include "host/core/host_state.h"
#include "host/core/selection.h"
#include "host/sdk/commands.h"

namespace hostapp {

namespace {

bool Place(ScriptContext& ctx, const std::vector<std::string>& args) {
    if (args.size() != 2) return ctx.Error("usage: place FRAME FILE.png");
    hostcore::Document* doc = hostcore::FrontDocument();
    if (!doc) return ctx.Error("no document is open");
    std::vector<UID> found;
    std::string error;
    if (!LookUpFrames(doc->Model(), {args[0]}, &found, &error)) return ctx.Error(error);
    const hostcore::Node& frame = *doc->Model().FindNode(found[0]);
    UID layer = doc->Model().LayerOf(found[0]);
    PMRect box = hostcore::DocModel::PasteboardBounds(frame);

    ICommandSequence* seq = CmdUtils::BeginCommandSequence();
    seq->SetName("Place");
    UID placed = kInvalidUID;
    ErrorCode err = hostcore::DeleteItems(doc, {found[0]});
    if (err == kSuccess)
        err = hostcore::ImportAndPlace(doc, layer, {box.LeftTop(), box.RightBottom()},
                                       hostcore::PathToFileURI(ctx.Path(args[1])), &placed);
    if (err == kSuccess) err = hostcore::FitFrameToContent(doc, {placed});
    if (err == kSuccess) {
        const hostcore::Node& image =
            *doc->Model().FindNode(doc->Model().FindNode(placed)->children[0]);
        err = hostcore::UpdateLinks(doc, {image.link});
    }
    if (err != kSuccess) {
        CmdUtils::AbortCommandSequence(seq);
        return ctx.Error("cannot place " + args[1] + " (error " + std::to_string(err) + ")");
    }
    CmdUtils::EndCommandSequence(seq);
    hostcore::SelectItems({placed});
    ctx.Say() << "placed " << args[1] << " as " << DescribeFrame(doc->Model(), placed) << "\n";
    return true;
}

ScriptVerb gPlace("place", "place FRAME FILE.png replace a frame by a fitted picture", Place);

}  // namespace

}  // namespace hostapp
