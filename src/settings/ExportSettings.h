#pragma once

#include "store/OwnedCollection.h"
#include "store/StreamObject.h"
#include "store/StringList.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lynkora {

// One style sheet of the HTML export.
class TCSS : public StreamObject {
public:
    bool IsPredefined = false;
    std::string Name;
    std::string Path;
    bool Selected = false;
    TStringList Text;
    const ClassInfo& classInfo() const override;
};

class TStyles : public TOwnedCollection<TCSS> {};

// The HTML export settings ("ExportHTML").
class THTML : public StreamObject {
public:
    std::string strTitle;
    std::string Filename;
    std::string strGen;
    std::string strTable;
    std::string strBackTop;
    bool TOC = false;
    TStyles Styles;
    std::int32_t SelIdx = 0; // -1: link the file of Styles item 0; else a predefined sheet

    const ClassInfo& classInfo() const override;
    bool isComponent() const override { return true; }

    // Appends the predefined style sheet `text` (its first line a comment naming it, such as
    // "/* Classic */") as a new last style.
    TCSS& AppendPredefined(const std::string& text);
};

// The name in a style sheet's first line: without its first three characters, cut before the
// character that precedes the first "*" ("/* Classic */" gives "Classic").
std::string StyleSheetName(const std::string& firstLine);

} // namespace lynkora
