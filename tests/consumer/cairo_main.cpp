// Uses the optional Cairo component from an installed tree: a measuring
// surface must give text a width that grows with the text.
#include <cstdio>

#include <kavotbl/cairo/cairo_dc.h>
#include <kavotbl/kavotbl.h>

int main() {
    std::unique_ptr<kavo::CCairoDC> pDC = kavo::CCairoDC::CreateMeasuringDC();
    if (!pDC) {
        std::fprintf(stderr, "no measuring surface\n");
        return 1;
    }
    const kavo::CSize one = pDC->GetTextExtent("H", 1);
    const kavo::CSize many = pDC->GetTextExtent("HHHH", 4);
    std::printf("widths: %d, %d\n", one.cx, many.cx);
    if (one.cx <= 0 || many.cx <= one.cx) {
        std::fprintf(stderr, "text widths do not grow with the text\n");
        return 1;
    }
    std::printf("cairo component: text measured\n");
    return 0;
}
