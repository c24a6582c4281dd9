// Stories and text attributes. Divisions:
//   1. attribute objects, CreateObject, GetClass
//   2. AttributeBossList
//   3. ITextModel and IFrameList of a story
//   4. TextIterator
#include "host/core/text_objects.h"

#include "host/core/boss.h"
#include "host/core/document.h"
#include "host/core/edits.h"
#include "host/sdk/text.h"

namespace hostcore {

namespace {

// ---- 1. attribute objects ------------------------------------------------------

class RealAttr : public CPMUnknown<ITextAttrRealNumber> {
  public:
    using CPMUnknown<ITextAttrRealNumber>::CPMUnknown;
    PMReal GetRealNumber() const override { return fValue; }
    void SetRealNumber(PMReal v) override { fValue = v; }

  private:
    PMReal fValue = 0;
};

class UIDAttr : public CPMUnknown<ITextAttrUID> {
  public:
    using CPMUnknown<ITextAttrUID>::CPMUnknown;
    UID GetUIDData() const override { return fValue; }
    void SetUIDData(UID v) override { fValue = v; }

  private:
    UID fValue = kInvalidUID;
};

class StyleAttr : public CPMUnknown<ITextAttrFontStyle> {
  public:
    using CPMUnknown<ITextAttrFontStyle>::CPMUnknown;
    PMString GetFontName() const override { return fValue; }
    void SetFontName(const PMString& v) override { fValue = v; }

  private:
    PMString fValue;
};

// A new attribute object of the class (one reference), nil for other classes.
HostBoss* NewAttribute(ClassID cls) {
    HostBoss* boss;
    switch (cls) {
        case kTextAttrPointSizeBoss:
            boss = HostBoss::Create(nullptr, kInvalidUID, cls);
            boss->AddOwned(IID_ITEXTATTRREAL, new RealAttr(boss));
            return boss;
        case kTextAttrColorBoss:
        case kTextAttrFontUIDBoss:
            boss = HostBoss::Create(nullptr, kInvalidUID, cls);
            boss->AddOwned(IID_ITEXTATTRUID, new UIDAttr(boss));
            return boss;
        case kTextAttrFontStyleBoss:
            boss = HostBoss::Create(nullptr, kInvalidUID, cls);
            boss->AddOwned(IID_ITEXTATTRFONTSTYLE, new StyleAttr(boss));
            return boss;
        default:
            return nullptr;
    }
}

// The attribute value of a character as a new object of the class.
HostBoss* AttributeOf(const CharAttrs& a, ClassID cls) {
    HostBoss* boss = NewAttribute(cls);
    if (!boss) return nullptr;
    switch (cls) {
        case kTextAttrPointSizeBoss:
            static_cast<ITextAttrRealNumber*>(boss->Find(IID_ITEXTATTRREAL))
                ->SetRealNumber(a.pointSize);
            break;
        case kTextAttrColorBoss:
            static_cast<ITextAttrUID*>(boss->Find(IID_ITEXTATTRUID))->SetUIDData(a.color);
            break;
        case kTextAttrFontUIDBoss:
            static_cast<ITextAttrUID*>(boss->Find(IID_ITEXTATTRUID))->SetUIDData(a.fontFamily);
            break;
        case kTextAttrFontStyleBoss:
            static_cast<ITextAttrFontStyle*>(boss->Find(IID_ITEXTATTRFONTSTYLE))
                ->SetFontName(a.fontStyle);
            break;
    }
    return boss;
}

// What a list sets, read from its attribute objects.
AttrChange ChangeFromList(const AttributeBossList& list) {
    AttrChange c;
    for (int32 i = 0; i < list.CountBosses(); ++i) {
        ClassID cls = list.GetClassN(i);
        switch (cls) {
            case kTextAttrPointSizeBoss: {
                InterfacePtr<const ITextAttrRealNumber> v(static_cast<const ITextAttrRealNumber*>(
                    list.QueryByClassID(cls, IID_ITEXTATTRREAL)));
                if (v) c.hasSize = true, c.value.pointSize = v->GetRealNumber();
                break;
            }
            case kTextAttrColorBoss:
            case kTextAttrFontUIDBoss: {
                InterfacePtr<const ITextAttrUID> v(
                    static_cast<const ITextAttrUID*>(list.QueryByClassID(cls, IID_ITEXTATTRUID)));
                if (!v) break;
                if (cls == kTextAttrColorBoss)
                    c.hasColor = true, c.value.color = v->GetUIDData();
                else
                    c.hasFamily = true, c.value.fontFamily = v->GetUIDData();
                break;
            }
            case kTextAttrFontStyleBoss: {
                InterfacePtr<const ITextAttrFontStyle> v(static_cast<const ITextAttrFontStyle*>(
                    list.QueryByClassID(cls, IID_ITEXTATTRFONTSTYLE)));
                if (v) c.hasStyle = true, c.value.fontStyle = v->GetFontName().GetUTF8String();
                break;
            }
        }
    }
    return c;
}

// ---- 3. ITextModel and IFrameList ------------------------------------------------

const Story* FindStory(const HostBoss* boss) {
    const auto& stories = boss->GetDocument()->Model().stories;
    auto it = stories.find(boss->GetUID());
    return it == stories.end() ? nullptr : &it->second;
}

class FrameListImpl : public CPMUnknown<IFrameList> {
  public:
    explicit FrameListImpl(HostBoss* boss) : CPMUnknown<IFrameList>(boss), fOwner(boss) {}
    int32 GetFrameCount() const override {
        const Story* s = FindStory(fOwner);
        return s ? static_cast<int32>(s->frames.size()) : 0;
    }
    UID GetNthFrameUID(int32 i) const override {
        const Story* s = FindStory(fOwner);
        if (!s || i < 0 || i >= static_cast<int32>(s->frames.size())) return kInvalidUID;
        return s->frames[static_cast<size_t>(i)];
    }

  private:
    HostBoss* fOwner;
};

class TextModelImpl : public CPMUnknown<ITextModel> {
  public:
    explicit TextModelImpl(HostBoss* boss) : CPMUnknown<ITextModel>(boss), fOwner(boss) {}
    int32 TotalLength() const override {
        const Story* s = FindStory(fOwner);
        return s ? static_cast<int32>(s->text.size()) : 0;
    }
    char16_t GetChar(TextIndex i) const override {
        const Story* s = FindStory(fOwner);
        if (!s || i < 0 || i >= static_cast<TextIndex>(s->text.size())) return 0;
        return s->text[static_cast<size_t>(i)];
    }
    WideString GetText() const override {
        const Story* s = FindStory(fOwner);
        return s ? WideString(s->text) : WideString();
    }
    IFrameList* QueryFrameList() const override {
        return static_cast<IFrameList*>(fOwner->QueryInterface(IID_IFRAMELIST));
    }
    IPMUnknown* QueryAttributeAt(TextIndex i, ClassID cls, PMIID iid) const override {
        const Story* s = FindStory(fOwner);
        if (!s || i < 0 || i >= static_cast<TextIndex>(s->attrs.size())) return nullptr;
        HostBoss* attr = AttributeOf(s->attrs[static_cast<size_t>(i)], cls);
        if (!attr) return nullptr;
        IPMUnknown* out = attr->QueryInterface(iid);
        attr->Release();
        return out;
    }
    ErrorCode Insert(TextIndex i, const WideString* text) override {
        if (!text) return kInvalidParameterError;
        return InsertText(fOwner->GetDocument(), fOwner->GetUID(), i, text->Units());
    }
    ErrorCode Delete(TextIndex i, int32 length) override {
        return DeleteText(fOwner->GetDocument(), fOwner->GetUID(), i, length);
    }
    ErrorCode ApplyAttributes(TextIndex i, int32 length, const AttributeBossList* list,
                              ClassID strand) override {
        if (!list || strand != kCharAttrStrandBoss) return kInvalidParameterError;
        return ApplyCharAttrs(fOwner->GetDocument(), fOwner->GetUID(), i, length,
                              ChangeFromList(*list));
    }

  private:
    HostBoss* fOwner;
};

}  // namespace

bool AddStoryInterface(HostBoss* boss, PMIID iid) {
    if (iid == IID_ITEXTMODEL) {
        boss->AddOwned(iid, new TextModelImpl(boss));
        return true;
    }
    if (iid == IID_IFRAMELIST) {
        boss->AddOwned(iid, new FrameListImpl(boss));
        return true;
    }
    return false;
}

}  // namespace hostcore

IPMUnknown* CreateObject(ClassID cls, PMIID iid) {
    hostcore::HostBoss* boss = hostcore::NewAttribute(cls);
    if (!boss) return nullptr;
    IPMUnknown* out = boss->QueryInterface(iid);
    boss->Release();
    return out;
}

ClassID GetClass(const IPMUnknown* object) {
    hostcore::HostBoss* boss = hostcore::BossOf(object);
    return boss ? boss->GetClass() : kInvalidClass;
}

// ---- 2. AttributeBossList ----------------------------------------------------------

AttributeBossList::~AttributeBossList() {
    ClearAllOverrides();
}

AttributeBossList::AttributeBossList(const AttributeBossList& other) : fItems(other.fItems) {
    for (const IPMUnknown* p : fItems)
        p->AddRef();
}

AttributeBossList& AttributeBossList::operator=(const AttributeBossList& other) {
    if (this != &other) {
        for (const IPMUnknown* p : other.fItems)
            p->AddRef();
        ClearAllOverrides();
        fItems = other.fItems;
    }
    return *this;
}

void AttributeBossList::ApplyAttribute(const IPMUnknown* attribute) {
    ClassID cls = GetClass(attribute);
    if (cls == kInvalidClass) return;
    attribute->AddRef();
    for (const IPMUnknown*& p : fItems) {
        if (GetClass(p) == cls) {
            p->Release();
            p = attribute;
            return;
        }
    }
    fItems.push_back(attribute);
}

ClassID AttributeBossList::GetClassN(int32 i) const {
    return i >= 0 && i < CountBosses() ? GetClass(fItems[static_cast<size_t>(i)]) : kInvalidClass;
}

const IPMUnknown* AttributeBossList::QueryByClassID(ClassID cls, PMIID iid) const {
    for (const IPMUnknown* p : fItems)
        if (GetClass(p) == cls) return p->QueryInterface(iid);
    return nullptr;
}

void AttributeBossList::ClearAllOverrides() {
    for (const IPMUnknown* p : fItems)
        p->Release();
    fItems.clear();
}

// ---- 4. TextIterator ---------------------------------------------------------------

TextIterator::TextIterator(const ITextModel* model, TextIndex position) {
    if (!model) return;
    fText = model->GetText().Units();
    fPos = position;
}

UTF32TextChar TextIterator::operator*() const {
    if (IsNull()) return 0;
    char16_t c = fText[static_cast<size_t>(fPos)];
    if (c >= 0xD800 && c < 0xDC00 && fPos + 1 < static_cast<int32>(fText.size())) {
        char16_t d = fText[static_cast<size_t>(fPos) + 1];
        if (d >= 0xDC00 && d < 0xE000) return 0x10000 + ((c - 0xD800) << 10) + (d - 0xDC00);
    }
    return c;
}

TextIterator& TextIterator::operator++() {
    if (IsNull()) return *this;
    UTF32TextChar c = **this;
    fPos += c >= 0x10000 ? 2 : 1;
    return *this;
}
