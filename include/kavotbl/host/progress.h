// Progress indicator with a cancel button, as a host supplies it.
#pragma once

namespace kavo {

/// The default shows nothing and never cancels; a host derives its own.
class CProgressDlg {
public:
    virtual ~CProgressDlg() = default;
    /// Shows a position (the table reader reports bytes read / 100).
    virtual void SetPos(int nPos) { (void)nPos; }
    /// Nonzero when the user asked to cancel.
    virtual int CheckCancelButton() { return 0; }
};

}  // namespace kavo
