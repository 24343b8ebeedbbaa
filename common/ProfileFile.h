#pragma once
// Shared access to profile files on disk.
//
// Several processes (dialog, saver, wallpaper setter, tray changer, a second
// instance) read and write the same files at once. Reads never lock: every
// write replaces the file by renaming a complete new file over it, so a reader
// sees either the old or the new contents. Writes are read-modify-write of the
// whole file under an exclusive flock() on a hidden lock file beside it; the
// kernel drops that lock when the holder dies, even by SIGKILL, so a crashed
// writer never blocks the next one.

#include "IniDocument.h"

#include <functional>
#include <memory>
#include <string>

namespace skyloom::profile {

/// Parsed contents of a file (empty when missing or unreadable). Cached by
/// path and file identity (device, inode, size, modification and change
/// times), so repeated reads of an unchanged file do not parse it again.
std::shared_ptr<const IniDocument> load(const std::string& path);

/// Locks the file, reads its current contents, lets `edit` change them and
/// writes the result atomically (temporary file, fsync, rename). `edit`
/// returns false to leave the file alone. Returns true when the file holds the
/// edited contents afterwards; false when it could not be written (missing
/// folder, no permission, disk full), in which case the file is unchanged.
bool update(const std::string& path, const std::function<bool(IniDocument&)>& edit);

/// Forgets every cached parse (tests use it to force a re-read).
void clearCache();

} // namespace skyloom::profile
