// The utility interfaces (utils.h, swatches.h): one object carries them all.
#include <algorithm>
#include <cmath>

#include "host/core/boss.h"
#include "host/core/command_objects.h"
#include "host/core/document.h"
#include "host/core/edits.h"
#include "host/core/file_uri.h"
#include "host/core/host_state.h"
#include "host/core/selection.h"
#include "host/sdk/document.h"
#include "host/sdk/page_items.h"
#include "host/sdk/swatches.h"
#include "host/sdk/utils.h"

namespace hostcore {

namespace {

std::vector<UID> ItemsOf(const UIDList& list) {
    return list.UIDs();
}

class LayoutUtils : public CPMUnknown<ILayoutUtils> {
  public:
    using CPMUnknown<ILayoutUtils>::CPMUnknown;
    IDocument* GetFrontDocument() const override {
        Document* doc = FrontDocument();
        return doc ? static_cast<IDocument*>(
                         static_cast<HostBoss*>(doc->Root())->Find(IID_IDOCUMENT))
                   : nullptr;
    }
};

class SelectionUtils : public CPMUnknown<ISelectionUtils> {
  public:
    using CPMUnknown<ISelectionUtils>::CPMUnknown;
    ISelectionManager* GetActiveSelection() const override { return ActiveSelectionManager(); }
};

class FileURIUtils : public CPMUnknown<IFileURIUtils> {
  public:
    using CPMUnknown<IFileURIUtils>::CPMUnknown;
    ErrorCode IDFileToURI(const IDFile& file, URI& uri) const override {
        if (file.IsEmpty()) return kInvalidParameterError;
        uri.SetURI(PathToFileURI(file.GetPath()));
        return kSuccess;
    }
    ErrorCode URIToIDFile(const URI& uri, IDFile& file) const override {
        std::string path;
        if (!FileURIToPath(uri.GetURI(), &path)) return kFailure;
        file = IDFile(path.c_str());
        return kSuccess;
    }
};

class FitFrameUtils : public CPMUnknown<IFitFrameUtils> {
  public:
    using CPMUnknown<IFitFrameUtils>::CPMUnknown;
    ErrorCode FitFrameToContent(const UIDList& items) override {
        return hostcore::FitFrameToContent(Document::From(items.GetDataBase()), ItemsOf(items));
    }
};

class BoundsUtils : public CPMUnknown<IBoundsUtils> {
  public:
    using CPMUnknown<IBoundsUtils>::CPMUnknown;
    ErrorCode SetBounds(const UIDList& items, int32, bool16, const PMRectCollection& b) override {
        return hostcore::SetBounds(Document::From(items.GetDataBase()), ItemsOf(items), b);
    }
};

class GraphicAttributeUtils : public CPMUnknown<IGraphicAttributeUtils> {
  public:
    using CPMUnknown<IGraphicAttributeUtils>::CPMUnknown;
    ISwatch* QueryFillSwatch(const IGraphicAttributes* attributes) const override {
        UID uid = GetFillSwatchUID(attributes);
        if (uid == kInvalidUID) return nullptr;
        return static_cast<ISwatch*>(
            InstantiateInterface(::GetDataBase(attributes), uid, IID_ISWATCH));
    }
    UID GetFillSwatchUID(const IGraphicAttributes* attributes) const override {
        return attributes ? attributes->GetFillSwatchUID() : kInvalidUID;
    }
    ICommand* CreateFillSwatchCommand(UID swatch, const UIDList* items, bool16,
                                      bool16) const override {
        if (!items) return nullptr;
        Document* doc = Document::From(items->GetDataBase());
        ICommand* cmd = MakeCommand(
            kApplyFillCmdBoss, "Apply Fill",
            [doc, swatch](const UIDList& list) { return ApplyFill(doc, list.UIDs(), swatch); });
        cmd->SetItemList(*items);
        return cmd;
    }
};

class LinkUtils : public CPMUnknown<ILinkUtils> {
  public:
    using CPMUnknown<ILinkUtils>::CPMUnknown;
    ErrorCode UpdateLinks(const UIDList& links) override {
        return hostcore::UpdateLinks(Document::From(links.GetDataBase()), ItemsOf(links));
    }
};

class FrameContentUtils : public CPMUnknown<IFrameContentUtils> {
  public:
    using CPMUnknown<IFrameContentUtils>::CPMUnknown;
    ErrorCode ConvertToTextFrame(IDataBase* db, UID frame, int32, int32, int32, int32) override {
        return MakeTextFrame(Document::From(db), frame);
    }
};

class UndoUtils : public CPMUnknown<IUndoUtils> {
  public:
    using CPMUnknown<IUndoUtils>::CPMUnknown;
    IUndoManager* QueryUndoManager(IDataBase* db) const override {
        Document* doc = Document::From(db);
        return doc ? static_cast<IUndoManager*>(doc->Root()->QueryInterface(IID_IUNDOMANAGER))
                   : nullptr;
    }
};

PMReal Clamp01(PMReal v) {
    return std::min<PMReal>(1, std::max<PMReal>(0, v));
}

// CIE Lab (D65) to gamma-encoded sRGB.
void LabToRGB(PMReal L, PMReal a, PMReal b, PMReal rgb[3]) {
    PMReal fy = (L + 16) / 116, fx = fy + a / 500, fz = fy - b / 200;
    auto inv = [](PMReal t) {
        return t > 6.0 / 29 ? t * t * t : 3 * (6.0 / 29) * (6.0 / 29) * (t - 4.0 / 29);
    };
    PMReal X = 0.95047 * inv(fx), Y = inv(fy), Z = 1.08883 * inv(fz);
    PMReal lin[3] = {3.2406 * X - 1.5372 * Y - 0.4986 * Z, -0.9689 * X + 1.8758 * Y + 0.0415 * Z,
                     0.0557 * X - 0.2040 * Y + 1.0570 * Z};
    for (int i = 0; i < 3; ++i) {
        PMReal c = Clamp01(lin[i]);
        rgb[i] = c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
    }
}

class ColorUtils : public CPMUnknown<IColorUtils> {
  public:
    using CPMUnknown<IColorUtils>::CPMUnknown;
    ErrorCode ConvertColor(const IDocument*, int32 from, const ColorArray& in, int32 to,
                           ColorArray* out) const override {
        if (!out || to != kPMCsCalRGB) return kFailure;
        PMReal rgb[3];
        switch (from) {
            case kPMCsCalRGB:
                if (in.size() < 3) return kFailure;
                for (int i = 0; i < 3; ++i)
                    rgb[i] = Clamp01(in[static_cast<size_t>(i)]);
                break;
            case kPMCsCalCMYK: {
                if (in.size() < 4) return kFailure;
                PMReal k = Clamp01(in[3]);
                for (int i = 0; i < 3; ++i)
                    rgb[i] = (1 - Clamp01(in[static_cast<size_t>(i)])) * (1 - k);
                break;
            }
            case kPMCsLab:
                if (in.size() < 3) return kFailure;
                LabToRGB(in[0], in[1], in[2], rgb);
                break;
            default:
                return kFailure;
        }
        *out = ColorArray(rgb, rgb + 3);
        return kSuccess;
    }
};

class SwatchUtils : public CPMUnknown<ISwatchUtils> {
  public:
    using CPMUnknown<ISwatchUtils>::CPMUnknown;
    UID GetNoneSwatchUID(IDataBase* db) const override {
        Document* d = Document::From(db);
        return d ? d->Model().noneSwatch : kInvalidUID;
    }
    UID GetBlackSwatchUID(IDataBase* db) const override {
        Document* d = Document::From(db);
        return d ? d->Model().blackSwatch : kInvalidUID;
    }
    UID GetPaperSwatchUID(IDataBase* db) const override {
        Document* d = Document::From(db);
        return d ? d->Model().paperSwatch : kInvalidUID;
    }
    UID FindSwatch(IDataBase* db, const PMString& name) const override {
        Document* d = Document::From(db);
        if (!d) return kInvalidUID;
        for (const auto& s : d->Model().swatches)
            if (s.second.name == name.GetUTF8String()) return s.first;
        return kInvalidUID;
    }
};

template <class T>
bool Add(HostBoss* boss, PMIID iid) {
    boss->AddOwned(iid, new T(boss));
    return true;
}

bool AddUtility(HostBoss* boss, PMIID iid) {
    switch (iid) {
        case IID_ILAYOUTUTILS:
            return Add<LayoutUtils>(boss, iid);
        case IID_ISELECTIONUTILS:
            return Add<SelectionUtils>(boss, iid);
        case IID_IFILEURIUTILS:
            return Add<FileURIUtils>(boss, iid);
        case IID_IFITFRAMEUTILS:
            return Add<FitFrameUtils>(boss, iid);
        case IID_IBOUNDSUTILS:
            return Add<BoundsUtils>(boss, iid);
        case IID_IGRAPHICATTRIBUTEUTILS:
            return Add<GraphicAttributeUtils>(boss, iid);
        case IID_ILINKUTILS:
            return Add<LinkUtils>(boss, iid);
        case IID_IFRAMECONTENTUTILS:
            return Add<FrameContentUtils>(boss, iid);
        case IID_IUNDOUTILS:
            return Add<UndoUtils>(boss, iid);
        case IID_ICOLORUTILS:
            return Add<ColorUtils>(boss, iid);
        case IID_ISWATCHUTILS:
            return Add<SwatchUtils>(boss, iid);
        default:
            return false;
    }
}

}  // namespace

}  // namespace hostcore

IPMUnknown* GetUtilityInterface(PMIID iid) {
    // Lives as long as the process: utilities hold no state.
    static hostcore::HostBoss* utilities = [] {
        hostcore::HostBoss* b = hostcore::HostBoss::Create(nullptr, kInvalidUID, 0);
        b->SetFactory(hostcore::AddUtility);
        return b;
    }();
    return utilities->Find(iid);
}
