#pragma once

#include "ImportTarget.h"

#include <string>

namespace lynkora {

// Reads an Opera hotlist (or the "default.adr" of a folder) into the document: folders become
// categories (found again by name at their depth), URL entries shortcuts with the keyword
// "Opera".
void ImportOperaHotlist(const std::string& path, ImportTarget& target);
void ReadOperaHotlist(const std::string& bytes, ImportTarget& target);

} // namespace lynkora
