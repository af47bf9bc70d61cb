// The platform-style names of the host layer beside another platform's
// header that defines the same names as macros, included first: the library
// still compiles, its names keep working, and the macros come back.
#include <gtest/gtest.h>

#include <cstdint>

// What such a header defines (the values are the same; the types are not).
typedef std::uint32_t PLATFORM_COLOR;
#define RGB(r, g, b) ((PLATFORM_COLOR)(((r) | ((g) << 8)) | ((b) << 16)))
#define TRANSPARENT 1
#define OPAQUE 2
#define DT_CENTER 0x00000001
#define DT_WORDBREAK 0x00000010
#define DT_CALCRECT 0x00000400
#define MM_TEXT 1
#define MM_TWIPS 6
#define MB_OK 0x00000000L
#define IDOK 1
#define LOGFONT LOGFONTA
#define None 0L

#include "kavotbl/kavotbl.h"

#if !defined(RGB) || !defined(TRANSPARENT) || !defined(DT_CENTER) || !defined(LOGFONT) || !defined(None)
#error "including the library took the platform's macros away"
#endif

TEST(HostNames, PlatformMacrosIncludedFirstNeitherBreakNorLoseTheLibrarysNames) {
    // kavo::LOGFONT reaches the library's record under the macro's name.
    kavo::LOGFONT lf;
    lf.lfHeight = -13;
    kavo::CStyleRegistry registry;
    registry.InitDefaults();
    registry.UpdateFonts(&lf, 200);
    EXPECT_EQ(registry.GetStyle(0)->m_logFont.lfHeight, -13);

    // The macros expand to the library's values where the host uses them.
    kavo::CRecordingDC dc(MM_TWIPS);
    EXPECT_EQ(dc.GetMapMode(), 6);
    dc.SetBkMode(TRANSPARENT);
    EXPECT_EQ(dc.GetBkMode(), 1);
    kavo::CRect rc(0, 0, 100, 0);
    EXPECT_LT(dc.DrawText("X", 1, &rc, DT_CALCRECT | DT_WORDBREAK | DT_CENTER), 0);  // twips: negative
    EXPECT_EQ(static_cast<kavo::COLORREF>(RGB(1, 2, 3)), 0x00030201u);
    EXPECT_EQ(kavo::kDefaultBlockColor, 0x00F7E4CCu);
}

// The library's own names, where no platform macro stands in their way.
#undef RGB
#undef TRANSPARENT
#undef LOGFONT
#undef None
TEST(HostNames, TheLibrarysNamesAreValuesAndFunctionsOfItsNamespace) {
    static_assert(kavo::RGB(0xCC, 0xE4, 0xF7) == kavo::kDefaultBlockColor, "a constexpr function");
    static_assert(kavo::TRANSPARENT == 1 && kavo::kScreenPage == -1, "constant values");
    static_assert(kavo::HitKind::None == kavo::HitKind::Outside, "the enumerator behind X11's None macro");
    kavo::LOGFONT lf;
    EXPECT_EQ(lf.lfHeight, 0);
}
