#include "ExportSettings.h"
#include "store/TextTools.h"

namespace lynkora {

const ClassInfo& TCSS::classInfo() const {
    static const ClassInfo info = [] {
        using C = TCSS;
        ClassInfo c;
        c.className = "TCSS";
        c.properties = {props::boolean("IsPredefined", &C::IsPredefined), props::text("Name", &C::Name),
                        props::text("Path", &C::Path), props::boolean("Selected", &C::Selected),
                        props::object("Text", &C::Text)};
        return c;
    }();
    return info;
}

const ClassInfo& THTML::classInfo() const {
    static const ClassInfo info = [] {
        using C = THTML;
        ClassInfo c;
        c.className = "THTML";
        c.properties = {props::text("strTitle", &C::strTitle),     props::text("Filename", &C::Filename),
                        props::text("strGen", &C::strGen),         props::text("strTable", &C::strTable),
                        props::text("strBackTop", &C::strBackTop), props::boolean("TOC", &C::TOC),
                        props::collection("Styles", &C::Styles),   props::integer("SelIdx", &C::SelIdx)};
        return c;
    }();
    return info;
}

std::string StyleSheetName(const std::string& firstLine) {
    const std::string rest = firstLine.size() > 3 ? firstLine.substr(3) : std::string();
    const auto star = rest.find('*');
    if (star == std::string::npos)
        return rest;
    return rest.substr(0, star == 0 ? 0 : star - 1);
}

TCSS& THTML::AppendPredefined(const std::string& text) {
    TCSS& css = Styles.Add();
    for (auto& line : SplitLines(text))
        css.Text.Add(std::move(line));
    css.Name = css.Text.Empty() ? std::string() : StyleSheetName(css.Text[0]);
    css.IsPredefined = true;
    return css;
}

} // namespace lynkora
