#pragma once

#include "ImportTarget.h"

#include <string>

namespace lynkora {

// Reads a favourites folder (a folder tree of ".url" files) into the category of `node`: sub-
// folders become child categories (an existing child of the same name, ignoring case, is
// reused), ".url" files shortcuts with the keyword "Internet Explorer".
void ImportFavoritesFolder(const std::string& path, CategoryNode& node, ImportTarget& target);

// Replaces the ".url" files of a favourites folder with the document: one folder per category,
// one ".url" file per shortcut. Other files, and the folders that hold them, stay. Excluded
// categories write nothing (their children are still visited). Fails with the
// "Windows Errorcode" text when a shortcut file cannot be written.
void ExportFavoritesFolder(const CategoryTree& tree, const std::string& path);

// A category or shortcut name as a file name: the nine characters the file systems refuse
// replaced by "_", "." and ".." never used, long names shortened keeping their last two
// characters.
std::string FavoritesFileName(const std::string& name, std::size_t maxBytes);

} // namespace lynkora
