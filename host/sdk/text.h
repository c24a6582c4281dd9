// Stories. A story's text is UTF-16; its length counts the final end marker
// (kTextChar_CR), so an empty story has length 1 and the marker can never be
// deleted. Every character carries its character attributes, the end marker
// too (they are what an empty last paragraph is set in): point size, font
// family (a UID in the document's font list), font style name and colour
// swatch.
//
// Attributes are small objects of the attribute classes in ids.h, carrying a
// value interface: ITextAttrRealNumber (point size), ITextAttrUID (colour,
// font family) or ITextAttrFontStyle (style name). CreateObject2 makes one;
// an AttributeBossList collects them for ITextModel::ApplyAttributes.
#pragma once

#include <vector>

#include "host/sdk/ids.h"
#include "host/sdk/strings.h"
#include "host/sdk/uidref.h"

constexpr UTF32TextChar kTextChar_CR = 0x0D;

class ITextAttrRealNumber : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_ITEXTATTRREAL };
    virtual PMReal GetRealNumber() const = 0;
    virtual void SetRealNumber(PMReal value) = 0;
};

class ITextAttrUID : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_ITEXTATTRUID };
    virtual UID GetUIDData() const = 0;
    virtual void SetUIDData(UID value) = 0;
};

class ITextAttrFontStyle : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_ITEXTATTRFONTSTYLE };
    virtual PMString GetFontName() const = 0;
    virtual void SetFontName(const PMString& style) = 0;
};

// A new attribute object of one of the attribute classes, queried for the
// interface; nil for other classes. The reference is the caller's.
IPMUnknown* CreateObject(ClassID attributeClass, PMIID iid);
template <class T>
T* CreateObject2(ClassID attributeClass, PMIID iid = T::kDefaultIID) {
    return static_cast<T*>(CreateObject(attributeClass, iid));
}
// The class of an attribute object, kInvalidClass for other objects.
ClassID GetClass(const IPMUnknown* object);

// An ordered set of attributes, one per class: applying a second attribute of
// a class replaces the first. Holds a reference to each.
class AttributeBossList {
  public:
    AttributeBossList() = default;
    ~AttributeBossList();
    AttributeBossList(const AttributeBossList& other);
    AttributeBossList& operator=(const AttributeBossList& other);

    void ApplyAttribute(const IPMUnknown* attribute);
    int32 CountBosses() const { return static_cast<int32>(fItems.size()); }
    ClassID GetClassN(int32 i) const;
    // New reference to the attribute of the class, nil when absent.
    const IPMUnknown* QueryByClassID(ClassID cls, PMIID iid) const;
    void ClearAllOverrides();

  private:
    std::vector<const IPMUnknown*> fItems;
};

class IFrameList : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_IFRAMELIST };
    virtual int32 GetFrameCount() const = 0;
    // The text column items that show the story, in reading order.
    virtual UID GetNthFrameUID(int32 index) const = 0;
};

class ITextModel : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_ITEXTMODEL };
    // UTF-16 code units including the final end marker.
    virtual int32 TotalLength() const = 0;
    // Code unit at an index, 0 outside the text.
    virtual char16_t GetChar(TextIndex index) const = 0;
    virtual WideString GetText() const = 0;
    virtual IFrameList* QueryFrameList() const = 0;
    // The attribute of the class in force at the index, queried for the
    // interface (ITextAttrRealNumber, ITextAttrUID or ITextAttrFontStyle);
    // nil outside the text or for an unknown class.
    virtual IPMUnknown* QueryAttributeAt(TextIndex index, ClassID attrClass, PMIID iid) const = 0;
    // Inserts before the index (0..TotalLength()-1); the new text takes the
    // attributes of the character it is inserted before. Undoable.
    virtual ErrorCode Insert(TextIndex index, const WideString* text) = 0;
    // Deletes [index, index+length), never the end marker. Undoable.
    virtual ErrorCode Delete(TextIndex index, int32 length) = 0;
    // Applies the list over [index, index+length) in the strand (only the
    // character-attribute strand kCharAttrStrandBoss is known). The range is
    // clipped to the story: a range that reaches the end marker (index +
    // length >= TotalLength()) sets the marker's attributes too, one that
    // stops before it (length TotalLength() - 1 from 0) leaves them. Undoable.
    virtual ErrorCode ApplyAttributes(TextIndex index, int32 length, const AttributeBossList* list,
                                      ClassID strand) = 0;
};

// Walks a story by code points: a surrogate pair is one character, a lone
// surrogate comes back as itself.
class TextIterator {
  public:
    TextIterator() = default;
    TextIterator(const ITextModel* model, TextIndex position);
    bool IsNull() const { return fPos < 0 || fPos >= static_cast<int32>(fText.size()); }
    UTF32TextChar operator*() const;
    TextIterator& operator++();
    TextIndex Position() const { return fPos; }

  private:
    std::u16string fText;
    TextIndex fPos = -1;
};
