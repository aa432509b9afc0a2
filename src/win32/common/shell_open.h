#pragma once

#include <string>

namespace qm::win {

// Opens a file, folder or address with what the shell associates with it, as a double-click
// would, with the shell's own error boxes kept away: a failure shows nothing and says false.
bool OpenInShell(const std::wstring& what);

}  // namespace qm::win
