#pragma once

#include "PreviewTree.h"

#include <string>
#include <vector>

namespace lynkora {

// Appends the link targets of an HTML page to `links`, relative ones behind `baseFolder`
// (which ends in "/"); mail, news, FTP and same-page links are skipped. A file that cannot be
// read adds nothing.
void ScanHtmlLinks(std::vector<std::string>& links, const std::string& baseFolder,
                   const std::string& file);

// Reads a data file of the previous generation (".ldb", HTML-like text) into category entries
// below the file entry; their shortcuts go into the categories only.
void LoadClassicDataFile(const std::string& file, PreviewEntry& fileEntry);

// Reads another data file into the preview: its root category on the file entry, one entry per
// category and per shortcut. Fails with "Error: not a valid Lynkora file!" for a foreign file.
void LoadDataFileTree(const std::string& file, PreviewEntry& fileEntry);

} // namespace lynkora
