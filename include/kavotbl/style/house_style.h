// The house style: how a table looks when its file does not say.
#pragma once

namespace kavo {

class CStyleRegistry;

/// Fills the element styles that a file left unstyled (the nine element
/// styles whose every attribute is at its default, whether the file left
/// them out or wrote them empty) with the house style of a statistical
/// publication: the title left and bold; heading and footing left; the stub
/// head left and at the bottom; stub labels left (wrapped lines keep the
/// label's indent); spanner captions centred with a rule under the spanner;
/// data-column captions centred at the bottom; a closing rule under the
/// table. Styles the file set are left alone. Each filled style is marked
/// (CStyle::m_bHouseStyle), so that saving writes it as it was. Returns the
/// number of styles filled.
int ApplyHouseStyle(CStyleRegistry& registry);

/// Copies the attributes (justification, rules, borders, own font; not the
/// label, colour or the font given by the host) of every style of sheet
/// onto the styles of registry with the same label, case-insensitively;
/// styles of sheet that registry lacks are added. Returns the number of
/// styles copied or added.
int TakeStyleSheet(CStyleRegistry& registry, const CStyleRegistry& sheet);

}  // namespace kavo
