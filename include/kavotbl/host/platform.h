// Stand-ins for the host platform's services: message boxes, the profile
// ("WIN.INI") source of regional settings, and the wait cursor. Each goes
// through a replaceable handler so that a host, or a test, can take it over.
#pragma once

#include <functional>
#include <string>

#include "kavotbl/host/string.h"

#include "kavotbl/host/detail/names_push.h"  // IWYU pragma: keep

namespace kavo {

enum : unsigned { MB_OK = 0x0000u, MB_ICONSTOP = 0x0010u };
enum : int { IDOK = 1 };

/// Handler of message boxes: the text and the type; returns the answer.
using MessageBoxHandler = std::function<int(const CKAVOString& strText, unsigned nType)>;

/// Shows a message through the current handler (by default: standard error).
int KAVOMessageBox(const CKAVOString& strText, unsigned nType = MB_OK);
/// Installs a handler (an empty one restores the default) and returns the previous one.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

/// Source of profile values: sets value and returns true when the key exists.
using ProfileSource =
    std::function<bool(const std::string& strSection, const std::string& strKey, std::string& strValue)>;

/// Installs a profile source (an empty one restores the default) and returns
/// the previous one. The default reads the WIN.INI-style file named by the
/// environment variable KAVO_WININI when it is set, else the user's locale.
ProfileSource SetProfileSource(ProfileSource source);

/// Copies the value of pszKey in pszSection (or pszDefault when the source
/// has none) into buf of nSize bytes, cut to nSize - 1 bytes and terminated.
/// Returns the number of characters delivered. The file name is accepted
/// for the familiar signature; the source decides where values come from.
int GetProfileString(const char* pszSection, const char* pszKey, const char* pszDefault, char* buf,
                     int nSize);

/// Hooks for the host's wait cursor; no-ops by default.
void SetWaitCursorHooks(std::function<void()> begin, std::function<void()> end);
void BeginWaitCursor();
void EndWaitCursor();

}  // namespace kavo

#include "kavotbl/host/detail/names_pop.h"  // IWYU pragma: keep
