// Control words the RTF writers share: an element's justification and
// vertical alignment, and a font's face name.
#pragma once

#include <algorithm>
#include <string>

#include "kavotbl/model/tbl_ob.h"
#include "kavotbl/style/style.h"

namespace kavo {
namespace rtf {

inline const char* Justification(const CTblOb* pOb) {
    const CStyle* s = pOb ? pOb->GetStyle() : nullptr;
    if (!s) return "\\ql";
    return s->m_nHorJust == 1 ? "\\qc" : s->m_nHorJust == 2 ? "\\qr" : "\\ql";
}

inline const char* VerticalAlignment(const CTblOb* pOb) {
    const CStyle* s = pOb ? pOb->GetStyle() : nullptr;
    if (!s) return "\\clvertalb";
    return s->m_nVertJust == 0 ? "\\clvertalt" : s->m_nVertJust == 1 ? "\\clvertalc" : "\\clvertalb";
}

inline std::string Face(const LOGFONT& lf) {
    return std::string(lf.lfFaceName, std::find(lf.lfFaceName, lf.lfFaceName + sizeof lf.lfFaceName, '\0'));
}

}  // namespace rtf
}  // namespace kavo
