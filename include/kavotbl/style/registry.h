// Owner of a document's styles and number formats.
#pragma once

#include <memory>

#include "kavotbl/host/dc.h"
#include "kavotbl/host/object.h"
#include "kavotbl/style/format.h"
#include "kavotbl/style/style.h"

namespace kavo {

class CSpecFile;

/// Owns every style and format of a document, with "Default" at index 0 and
/// one style per kind of table element after Build; finds them by label
/// (case-insensitive, lowest index wins) and keeps a measuring surface.
class CStyleRegistry : public CObject {
    KAVO_DECLARE_DYNAMIC(CStyleRegistry)
public:
    /// An empty registry with a measuring surface of its own.
    CStyleRegistry();
    /// Deletes every style and format (tables must be gone) and the surface.
    ~CStyleRegistry() override;
    CStyleRegistry(const CStyleRegistry&) = delete;
    CStyleRegistry& operator=(const CStyleRegistry&) = delete;

    /// The measuring surface; never null.
    CDC* GetDC() const { return m_pDC; }
    /// Once only: makes a memory surface compatible with pDC (a recording
    /// surface when pDC is null); returns 1 when it was made.
    int CreateCompatibleDC(CDC* pDC);
    /// 1 once CreateCompatibleDC has been called.
    int HasCompatibleDC() const { return m_bDCCreated; }

    /// Numbers of styles and formats.
    int GetNumStyles() const { return m_styles.GetSize(); }
    int GetNumFormats() const { return m_formats.GetSize(); }
    /// Appends a copy and returns its index; the caller keeps its object.
    int RegisterStyle(CStyle* pStyle);
    int RegisterFormat(CFormat* pFormat);
    /// Style i and format i (i not tested).
    CStyle*& GetStyle(int i) { return m_styles[i]; }
    CStyle* GetStyle(int i) const { return m_styles[i]; }
    CFormat*& GetFormat(int i) { return m_formats[i]; }
    CFormat* GetFormat(int i) const { return m_formats[i]; }
    /// The first style or format with the label (case-insensitive), or null;
    /// by string-table id, with that entry's text.
    CStyle* FindStyle(const CKAVOString& strLabel) const;
    CStyle* FindStyle(int nStringID) const;
    CFormat* FindFormat(const CKAVOString& strLabel) const;
    CFormat* FindFormat(int nStringID) const;

    /// Gives every style the font and its twips height.
    void UpdateFonts(const LOGFONT* pLogFont, int nTwipsHeight);
    /// As UpdateFonts, then puts each style's own face, size, weight and
    /// slant over the font (CStyle::ApplyOwnFont): the font given is the
    /// default of the styles without a font of their own. A style's size is
    /// absolute; nLogPixelsY turns its points into the record's height.
    void UpdateStyleFonts(const LOGFONT* pLogFont, int nTwipsHeight, int nLogPixelsY = 96);

    /// Makes sure the registry holds what Build gives an empty file: the
    /// style and the format labelled "Default" at index 0 (put in front when
    /// index 0 holds another label) and a style for each kind of table
    /// element. For a registry filled from code; call it before registering
    /// styles and formats so that their indexes stay as returned. Always 1.
    int InitDefaults();
    /// Reads the [Style] and [Format] sections before the first [Table]; always 1.
    int Build(CSpecFile& file);
    /// Writes every style and format but those at index 0; styles that the
    /// house style filled are written as they were unless bHouseStyle.
    void Save(CSpecFile& file, int bHouseStyle = 0) const;

private:
    void RemoveStyleAt(int i);
    void RemoveFormatAt(int i);
    void RemoveAllStyles();
    void RemoveAllFormats();

    CArray<CStyle*, CStyle*> m_styles;
    CArray<CFormat*, CFormat*> m_formats;
    CDC* m_pDC;
    int m_bDCCreated;
};

}  // namespace kavo
