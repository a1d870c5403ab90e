#pragma once

#include "cfb/Storage.h"

#include <functional>
#include <string>

namespace lynkora {

// Writes a compound file that replaces `target` without ever leaving it missing or half
// written: the new file is built beside it under `tempPath`, made durable, and renamed over the
// target. The returned storage is the new file, still open and locked (the lock never lapses).
// A target that may not be replaced (read-only file or folder) fails with
// "Could not delete file <target>" and the temporary file is removed.
cfb::Storage ReplaceWithNewFile(const std::string& target, const std::string& tempPath,
                                const std::function<void(cfb::Storage&)>& fill);

// The same, the new file starting as a byte copy of `source` (a compound file that no one
// writes meanwhile) which `fill` then changes.
cfb::Storage ReplaceWithCopy(const std::string& target, const std::string& tempPath, const std::string& source,
                             const std::function<void(cfb::Storage&)>& fill);

// Puts a finished, durable file `from` (beside `target`) in the target's place, as the two
// functions above do with theirs; fails as they do.
void RenameOver(const std::string& from, const std::string& target);

// Throws "Could not delete file <path>" when the file or its folder is marked read-only.
void CheckReplaceable(const std::string& path);

// `path` with its extension (after the last dot of the file name) replaced by `ext`
// (which includes the dot).
std::string ChangeFileExt(const std::string& path, const std::string& ext);
// The name of a data file's side file (working copy, backup, temporaries) with extension
// `ext`: "c.$ly" beside "c.lyx"; a data file of another name gets its whole name extended
// ("c.ly_.$ly"), so that no two data files of one folder ever share a side file.
std::string SideFileName(const std::string& dataFile, const std::string& ext);

bool FileExists(const std::string& path);
// Removes what a killed save, compaction, import or backup of the data file left beside it
// (".$sv", ".$$$", ".$im", ".$bk"); only for the holder of the file's exclusive lock, when no
// one else can be writing them.
void RemoveStaleSideFiles(const std::string& path);
// Copies a file's bytes to a new file `to` (replacing one there), in the kernel where it can.
// Fails with "Could not write <to>: <reason>" and leaves no partial copy.
void CopyFileBytes(const std::string& from, const std::string& to);
// Removes a file; true when it is gone afterwards.
bool DeleteFileIfExists(const std::string& path);

} // namespace lynkora
