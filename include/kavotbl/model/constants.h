// Named values for the plain integers of the interface: the page number of
// the screen, the two layout slots and the justifications of a style. The
// integers keep working; these only say what they mean.
#pragma once

namespace kavo {

/// Page number that CTable::Draw and the page lists take for the screen.
constexpr int kScreenPage = -1;

/// The slots of BackupClient and RestoreClient: LayoutPrinter keeps the
/// printer layout in the printer slot, and a host keeps its screen layout
/// in the screen slot before printing.
constexpr int kPrinterSlot = 0;
constexpr int kScreenSlot = 1;

/// CStyle::m_nHorJust.
enum HorJust : int { HJUST_LEFT = 0, HJUST_CENTER = 1, HJUST_RIGHT = 2 };
/// CStyle::m_nVertJust.
enum VertJust : int { VJUST_TOP = 0, VJUST_CENTER = 1, VJUST_BOTTOM = 2 };

}  // namespace kavo
