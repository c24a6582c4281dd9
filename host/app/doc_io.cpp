// Document files. Divisions:
//   1. reading: loader with UID bookkeeping, swatches, fonts, items, stories
//   2. writing
//   3. files
#include "host/app/doc_io.h"
#include "host/app/paths.h"

#include <cstdio>
#include <nlohmann/json.hpp>
#include <set>

#include "host/app/base64.h"
#include "host/core/edits.h"
#include "host/core/file_uri.h"
#include "host/core/font_catalog.h"
#include "host/sdk/strings.h"

namespace hostapp {

using hostcore::CharAttrs;
using hostcore::DocModel;
using hostcore::Node;
using hostcore::NodeKind;
using hostcore::Story;
using hostcore::Swatch;
using hostcore::SwatchKind;
using nlohmann::json;

namespace {

// ---- 1. reading ---------------------------------------------------------------

struct LoadError {
    std::string what;
};

[[noreturn]] void Fail(const std::string& what) {
    throw LoadError{what};
}

const char* SpaceName(int32 space) {
    switch (space) {
        case kPMCsCalRGB:
            return "RGB";
        case kPMCsCalCMYK:
            return "CMYK";
        case kPMCsLab:
            return "Lab";
        default:
            return "";
    }
}

int32 SpaceCode(const std::string& name) {
    if (name == "RGB") return kPMCsCalRGB;
    if (name == "CMYK") return kPMCsCalCMYK;
    if (name == "Lab") return kPMCsLab;
    Fail("unknown colour space \"" + name + "\" (RGB, CMYK or Lab)");
}

size_t ComponentCount(int32 space) {
    return space == kPMCsCalCMYK ? 4 : 3;
}

PMRect ReadRect(const json& j, const char* what) {
    if (!j.is_array() || j.size() != 4) Fail(std::string(what) + ": bounds must be [l, t, r, b]");
    for (const auto& v : j)
        if (!v.is_number()) Fail(std::string(what) + ": bounds must be numbers");
    PMReal l = j[0].get<PMReal>(), t = j[1].get<PMReal>(), r = j[2].get<PMReal>(),
           b = j[3].get<PMReal>();
    if (r < l || b < t) Fail(std::string(what) + ": bounds must have right >= left, bottom >= top");
    return PMRect(l, t, r, b);
}

json WriteRect(const PMRect& r) {
    return json::array({r.Left(), r.Top(), r.Right(), r.Bottom()});
}

class Loader {
  public:
    Loader(const json& root, const std::string& baseDir) : fRoot(root), fBaseDir(baseDir) {
        fSaved = root.contains("nextUID");
    }

    DocModel Load() {
        if (!fRoot.is_object()) Fail("a document is a JSON object");
        std::string name = fRoot.value("name", "Untitled");
        if (fSaved) {
            fModel.name = name;
            fNext = fRoot.at("nextUID").get<UID>();
            ReadSwatchesSaved();
        } else {
            fModel = hostcore::MakeEmptyModel(name);
            ReadSwatchesHand();
        }
        ReadFamilies();
        const json& spreads = fRoot.value("spreads", json::array());
        if (!spreads.is_array()) Fail("\"spreads\" must be a list");
        for (const auto& s : spreads)
            ReadSpread(s);
        if (fSaved) fModel.nextUID = fNext;
        return std::move(fModel);
    }

  private:
    UID Take(const json& obj, const char* what) {
        if (!fSaved) return fModel.NewUID();
        if (!obj.contains("uid") || !obj["uid"].is_number_unsigned())
            Fail(std::string(what) + " without \"uid\" in a saved document");
        UID uid = obj["uid"].get<UID>();
        if (uid < 3 || uid >= fNext || !fUsed.insert(uid).second)
            Fail(std::string(what) + ": UID " + std::to_string(uid) + " is reserved or repeated");
        return uid;
    }

    Swatch ReadColour(const json& s) {
        Swatch sw;
        sw.name = s.at("name").get<std::string>();
        sw.kind = SwatchKind::kColor;
        sw.space = SpaceCode(s.at("space").get<std::string>());
        sw.components = s.at("components").get<std::vector<PMReal>>();
        if (sw.components.size() != ComponentCount(sw.space))
            Fail("swatch " + sw.name + ": wrong number of components");
        return sw;
    }

    void ReadSwatchesHand() {
        for (const auto& s : fRoot.value("swatches", json::array())) {
            Swatch sw = ReadColour(s);
            for (const auto& e : fModel.swatches)
                if (e.second.name == sw.name) Fail("swatch " + sw.name + " is defined twice");
            fModel.swatches[fModel.NewUID()] = sw;
        }
    }

    void ReadSwatchesSaved() {
        for (const auto& s : fRoot.value("swatches", json::array())) {
            std::string kind = s.value("kind", "color");
            UID uid = Take(s, "swatch");
            if (kind == "color") {
                fModel.swatches[uid] = ReadColour(s);
                continue;
            }
            Swatch sw;
            sw.name = s.at("name").get<std::string>();
            if (kind == "none") {
                sw.kind = SwatchKind::kNone;
                fModel.noneSwatch = uid;
            } else if (kind == "paper") {
                sw.kind = SwatchKind::kPaper;
                sw.space = kPMCsCalRGB;
                sw.components = {1, 1, 1};
                fModel.paperSwatch = uid;
            } else if (kind == "black") {
                sw.kind = SwatchKind::kBlack;
                sw.space = kPMCsCalCMYK;
                sw.components = {0, 0, 0, 1};
                fModel.blackSwatch = uid;
            } else {
                Fail("unknown swatch kind \"" + kind + "\"");
            }
            fModel.swatches[uid] = sw;
        }
        if (!fModel.noneSwatch || !fModel.paperSwatch || !fModel.blackSwatch)
            Fail("a saved document needs the None, Paper and Black swatches");
    }

    void ReadFamilies() {
        for (const auto& f : fRoot.value("fontFamilies", json::array())) {
            UID uid = Take(f, "font family");
            fModel.fontFamilies[uid] = f.at("family").get<std::string>();
        }
    }

    UID SwatchRef(const json& ref, const char* what) {
        if (ref.is_number_unsigned()) {
            UID uid = ref.get<UID>();
            if (fSaved && fModel.swatches.count(uid)) return uid;
        } else if (ref.is_string()) {
            for (const auto& s : fModel.swatches)
                if (s.second.name == ref.get<std::string>()) return s.first;
        }
        Fail(std::string(what) + ": no swatch " + ref.dump());
    }

    UID Family(const std::string& family) {
        for (const auto& f : fModel.fontFamilies)
            if (f.second == family) return f.first;
        if (fSaved) Fail("font family \"" + family + "\" is not in the document's list");
        UID uid = fModel.NewUID();
        fModel.fontFamilies[uid] = family;
        return uid;
    }

    CharAttrs ReadAttrs(const json& run, const CharAttrs& base) {
        CharAttrs a = base;
        if (run.contains("size")) {
            a.pointSize = run["size"].get<PMReal>();
            if (!(a.pointSize > 0)) Fail("run size must be positive");
        }
        if (run.contains("color")) a.color = SwatchRef(run["color"], "run colour");
        if (run.contains("font")) {
            std::string ps = run["font"].get<std::string>();
            const hostcore::InstalledFont* f = hostcore::FindFontByPostScriptName(ps);
            if (!f) Fail("font \"" + ps + "\" is not installed");
            a.fontFamily = Family(f->family);
            a.fontStyle = f->style;
        }
        if (run.contains("family")) {
            const json& fam = run["family"];
            if (fam.is_number_unsigned()) {
                a.fontFamily = fam.get<UID>();
                if (!fModel.fontFamilies.count(a.fontFamily)) Fail("run names an unknown family");
            } else {
                a.fontFamily = Family(fam.get<std::string>());
            }
        }
        if (run.contains("style")) a.fontStyle = run["style"].get<std::string>();
        return a;
    }

    UID ReadStory(const json& j, UID column) {
        UID uid = Take(j, "story");
        Story s;
        s.frames.push_back(column);
        // Each run says what it differs in from the defaults; runs do not
        // inherit from the run before.
        const CharAttrs defaults = hostcore::DefaultCharAttrs(fModel);
        CharAttrs attrs = defaults;
        for (const auto& run : j.value("runs", json::array())) {
            attrs = ReadAttrs(run, defaults);
            std::string text = run.value("text", "");
            // Hand-written files end paragraphs with "\n", stories with CR.
            if (!fSaved)
                for (char& c : text)
                    if (c == '\n') c = '\r';
            std::u16string units = StringUtils::Utf8ToUtf16(text);
            s.text += units;
            s.attrs.insert(s.attrs.end(), units.size(), attrs);
        }
        if (fSaved) {
            if (s.text.empty() || s.text.back() != u'\r')
                Fail("a saved story must end with its end marker");
        } else {
            s.text += u'\r';
            s.attrs.push_back(attrs);
        }
        fModel.stories[uid] = s;
        return uid;
    }

    void ReadLabels(const json& j, Node* n) {
        if (!j.contains("labels")) return;
        const json& labels = j["labels"];
        if (!labels.is_object()) Fail("\"labels\" must map keys to texts");
        for (const auto& l : labels.items())
            n->labels[l.key()] = l.value().get<std::string>();
    }

    void ReadImage(const json& j, UID frameUID, Node* frame) {
        UID uid = Take(j, "image");
        Node img;
        img.kind = NodeKind::kImage;
        img.parent = frameUID;
        ReadLabels(j, &img);
        hostcore::Link link;
        link.object = uid;
        UID linkUID;
        if (fSaved) {
            const json& l = j.at("link");
            linkUID = Take(l, "link");
            link.uri = l.at("uri").get<std::string>();
            link.embedded = l.value("embedded", false);
            if (link.embedded && !Base64Decode(l.value("data", ""), &link.bytes))
                Fail("image data is not base64");
            img.box = ReadRect(j.at("bounds"), "image");
            img.pixelWidth = j.at("pixels").at(0).get<int32>();
            img.pixelHeight = j.at("pixels").at(1).get<int32>();
            if (img.pixelWidth <= 0 || img.pixelHeight <= 0) Fail("image pixels must be positive");
        } else {
            std::string file = j.at("file").get<std::string>();
            std::string path = IsAbsolutePath(file) ? file : fBaseDir + file;
            if (!hostcore::ReadWholeFile(path, &link.bytes) ||
                !hostcore::ReadPngSize(link.bytes, &img.pixelWidth, &img.pixelHeight))
                Fail("image " + file + " is missing or not a PNG");
            link.uri = hostcore::PathToFileURI(path);
            link.embedded = true;
            linkUID = fModel.NewUID();
            PMReal l = frame->box.Left(), t = frame->box.Top();
            img.box = PMRect(l, t, l + img.pixelWidth, t + img.pixelHeight);
        }
        img.link = linkUID;
        fModel.links[linkUID] = link;
        fModel.nodes[uid] = img;
        frame->children.push_back(uid);
    }

    void ReadItem(const json& j, UID parent) {
        std::string type = j.value("type", "");
        if (type != "text" && type != "graphic") Fail("item type must be \"text\" or \"graphic\"");
        UID uid = Take(j, "item");
        Node n;
        n.kind = NodeKind::kFrame;
        n.parent = parent;
        n.name = j.value("name", "");
        n.box = ReadRect(j.at("bounds"), n.name.empty() ? "item" : n.name.c_str());
        n.rotation = j.value("rotation", 0.0);
        n.shear = j.value("shear", 0.0);
        if (!(n.shear > -89 && n.shear < 89)) Fail("shear must lie between -89 and 89 degrees");
        if (!(n.rotation >= -360 && n.rotation <= 360))
            Fail("rotation must lie between -360 and 360 degrees");
        n.fill = j.contains("fill") ? SwatchRef(j["fill"], "fill")
                                    : (fSaved ? kInvalidUID : fModel.noneSwatch);
        ReadLabels(j, &n);
        if (type == "text") {
            UID container =
                fSaved ? Take(j.at("textContainer"), "text container") : fModel.NewUID();
            UID column = fSaved ? Take(j.at("textColumn"), "text column") : fModel.NewUID();
            UID story = ReadStory(j.value("story", json::object()), column);
            Node c;
            c.kind = NodeKind::kTextContainer;
            c.parent = uid;
            c.story = story;
            c.children.push_back(column);
            Node col;
            col.kind = NodeKind::kTextColumn;
            col.parent = container;
            col.story = story;
            fModel.nodes[container] = c;
            fModel.nodes[column] = col;
            n.children.push_back(container);
        } else if (j.contains("image")) {
            ReadImage(j["image"], uid, &n);
        }
        fModel.nodes[uid] = n;
        fModel.FindNode(parent)->children.push_back(uid);
    }

    void ReadSpread(const json& s) {
        UID uid = Take(s, "spread");
        Node sp;
        sp.kind = NodeKind::kSpread;
        sp.name = s.value("name", "Spread " + std::to_string(fModel.spreads.size() + 1));
        sp.box = ReadRect(s.at("bounds"), "spread");
        fModel.nodes[uid] = sp;
        fModel.spreads.push_back(uid);
        json layers = s.value("layers", json::array());
        if (layers.empty()) layers.push_back(json{{"name", "Layer 1"}});
        for (const auto& l : layers) {
            UID luid = Take(l, "layer");
            Node layer;
            layer.kind = NodeKind::kLayer;
            layer.parent = uid;
            layer.name = l.value("name", "Layer");
            layer.box = sp.box;
            ReadLabels(l, &layer);
            fModel.nodes[luid] = layer;
            fModel.FindNode(uid)->children.push_back(luid);
            for (const auto& item : l.value("items", json::array()))
                ReadItem(item, luid);
        }
    }

    const json& fRoot;
    std::string fBaseDir;
    bool fSaved = false;
    DocModel fModel;
    UID fNext = 3;
    std::set<UID> fUsed;
};

// ---- 2. writing ----------------------------------------------------------------

json WriteAttrs(const CharAttrs& a) {
    json j{{"size", a.pointSize}, {"color", a.color}, {"family", a.fontFamily}};
    if (!a.fontStyle.empty()) j["style"] = a.fontStyle;
    return j;
}

json WriteStory(const DocModel& m, UID uid) {
    const Story& s = m.stories.at(uid);
    json runs = json::array();
    size_t i = 0;
    while (i < s.text.size()) {
        size_t j = i;
        while (j < s.text.size() && s.attrs[j] == s.attrs[i])
            ++j;
        json run = WriteAttrs(s.attrs[i]);
        run["text"] = StringUtils::Utf16ToUtf8(s.text.substr(i, j - i));
        runs.push_back(run);
        i = j;
    }
    return json{{"uid", uid}, {"runs", runs}};
}

void WriteLabels(const Node& n, json* j) {
    if (!n.labels.empty()) (*j)["labels"] = n.labels;
}

json WriteItem(const DocModel& m, UID uid) {
    const Node& n = m.nodes.at(uid);
    json j{{"uid", uid}, {"bounds", WriteRect(n.box)}};
    if (n.fill != kInvalidUID) j["fill"] = n.fill;
    if (!n.name.empty()) j["name"] = n.name;
    if (n.rotation != 0) j["rotation"] = n.rotation;
    if (n.shear != 0) j["shear"] = n.shear;
    WriteLabels(n, &j);
    j["type"] = "graphic";
    for (UID c : n.children) {
        const Node& child = m.nodes.at(c);
        if (child.kind == NodeKind::kTextContainer) {
            j["type"] = "text";
            j["textContainer"] = json{{"uid", c}};
            j["textColumn"] = json{{"uid", child.children.at(0)}};
            j["story"] = WriteStory(m, child.story);
        } else if (child.kind == NodeKind::kImage) {
            const hostcore::Link& l = m.links.at(child.link);
            json img{{"uid", c},
                     {"bounds", WriteRect(child.box)},
                     {"pixels", {child.pixelWidth, child.pixelHeight}},
                     {"link", {{"uid", child.link}, {"uri", l.uri}, {"embedded", l.embedded}}}};
            if (l.embedded) img["link"]["data"] = Base64Encode(l.bytes);
            WriteLabels(child, &img);
            j["image"] = img;
        }
    }
    return j;
}

}  // namespace

std::string ModelToJsonText(const DocModel& m) {
    json swatches = json::array();
    for (const auto& s : m.swatches) {
        json j{{"uid", s.first}, {"name", s.second.name}};
        switch (s.second.kind) {
            case SwatchKind::kNone:
                j["kind"] = "none";
                break;
            case SwatchKind::kPaper:
                j["kind"] = "paper";
                break;
            case SwatchKind::kBlack:
                j["kind"] = "black";
                break;
            case SwatchKind::kColor:
                j["kind"] = "color";
                j["space"] = SpaceName(s.second.space);
                j["components"] = s.second.components;
                break;
        }
        swatches.push_back(j);
    }
    json families = json::array();
    for (const auto& f : m.fontFamilies)
        families.push_back({{"uid", f.first}, {"family", f.second}});
    json spreads = json::array();
    for (UID su : m.spreads) {
        const Node& s = m.nodes.at(su);
        json layers = json::array();
        for (UID lu : s.children) {
            const Node& l = m.nodes.at(lu);
            json items = json::array();
            for (UID iu : l.children)
                items.push_back(WriteItem(m, iu));
            json layer{{"uid", lu}, {"name", l.name}, {"items", items}};
            WriteLabels(l, &layer);
            layers.push_back(layer);
        }
        spreads.push_back(
            {{"uid", su}, {"name", s.name}, {"bounds", WriteRect(s.box)}, {"layers", layers}});
    }
    json root{{"name", m.name},
              {"nextUID", m.nextUID},
              {"swatches", swatches},
              {"fontFamilies", families},
              {"spreads", spreads}};
    // Names typed into hand-written files may hold any bytes; save them.
    return root.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

// ---- 3. files ------------------------------------------------------------------

namespace {

bool FromText(const std::string& text, const std::string& baseDir, DocModel* model,
              std::string* error) {
    json root = json::parse(text, nullptr, false);
    if (root.is_discarded()) {
        *error = "not a JSON document";
        return false;
    }
    try {
        Loader loader(root, baseDir);
        *model = loader.Load();
        return true;
    } catch (const LoadError& e) {
        *error = e.what;
    } catch (const json::exception& e) {
        *error = std::string("malformed document: ") + e.what();
    }
    return false;
}

}  // namespace

bool ModelFromJsonText(const std::string& text, DocModel* model, std::string* error) {
    return FromText(text, "", model, error);
}

bool LoadDocumentFile(const std::string& path, DocModel* model, std::string* error) {
    std::string text;
    if (!hostcore::ReadWholeFile(path, &text)) {
        *error = "cannot read " + path;
        return false;
    }
    size_t slash = LastSeparator(path);
    std::string dir = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    return FromText(text, dir, model, error);
}

bool SaveDocumentFile(const std::string& path, const DocModel& model, std::string* error) {
    // Written beside and renamed over, so a failed save leaves the old file.
    std::string tmp = path + ".tmp";
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) {
        *error = "cannot write " + path;
        return false;
    }
    std::string text = ModelToJsonText(model);
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok || std::rename(tmp.c_str(), path.c_str()) != 0) {
        std::remove(tmp.c_str());
        *error = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace hostapp
