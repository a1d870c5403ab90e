// import-json: creates a data file from the JSON that export-json writes. Absent properties take
// their defaults; a FolderID given is kept, a missing one is numbered like a new category.
#include "CliCommand.h"

#include "store/DataFileStorage.h"
#include "store/Errors.h"
#include "store/FileReplace.h"
#include "store/Compaction.h"
#include "cfb/Storage.h"

#include <optional>
#include "store/ObjectStream.h"
#include "store/Version.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <istream>
#include <iterator>
#include <set>

namespace lynkora::cli {

namespace {

[[noreturn]] void Bad(const std::string& what) { throw ELynkora("Invalid collection JSON: " + what); }

std::string Text(const QJsonObject& o, const char* key, const std::string& fallback = {}) {
    const QJsonValue v = o.value(key);
    if (v.isUndefined() || v.isNull())
        return fallback;
    if (!v.isString())
        Bad(std::string("\"") + key + "\" must be a string");
    return v.toString().toStdString();
}

double Number(const QJsonObject& o, const char* key) {
    const QJsonValue v = o.value(key);
    if (v.isUndefined() || v.isNull())
        return 0;
    if (!v.isDouble())
        Bad(std::string("\"") + key + "\" must be a number");
    return v.toDouble();
}

std::int32_t Integer(const QJsonObject& o, const char* key, std::int32_t fallback) {
    const QJsonValue v = o.value(key);
    if (v.isUndefined() || v.isNull())
        return fallback;
    const double d = v.toDouble(std::nan(""));
    if (!v.isDouble() || d != std::floor(d) || d < INT32_MIN || d > INT32_MAX)
        Bad(std::string("\"") + key + "\" must be a 32-bit integer");
    return static_cast<std::int32_t>(d);
}

bool Boolean(const QJsonObject& o, const char* key) {
    const QJsonValue v = o.value(key);
    if (v.isUndefined() || v.isNull())
        return false;
    if (!v.isBool())
        Bad(std::string("\"") + key + "\" must be true or false");
    return v.toBool();
}

void Keywords(const QJsonObject& o, TKeywords& keywords) {
    const QJsonValue v = o.value("Keywords");
    if (v.isUndefined() || v.isNull())
        return;
    if (!v.isArray())
        Bad("\"Keywords\" must be an array of strings");
    for (const QJsonValue& k : v.toArray()) {
        if (!k.isString())
            Bad("\"Keywords\" must be an array of strings");
        keywords.Add(k.toString().toStdString());
    }
}

QJsonArray Array(const QJsonObject& o, const char* key) {
    const QJsonValue v = o.value(key);
    if (v.isUndefined() || v.isNull())
        return {};
    if (!v.isArray())
        Bad(std::string("\"") + key + "\" must be an array");
    return v.toArray();
}

QJsonObject Object(const QJsonValue& v, const char* what) {
    if (!v.isObject())
        Bad(std::string(what) + " must be an object");
    return v.toObject();
}

void FillCategory(const QJsonObject& o, TISFolder& f) {
    f.FolderID = Text(o, "FolderID");
    f.FolderName = Text(o, "FolderName");
    f.Descr = Text(o, "Descr");
    Keywords(o, f.Keywords);
    f.Parent = Text(o, "Parent", "0");
    f.AccessCount = Integer(o, "AccessCount", 0);
    f.Exclude = Boolean(o, "Exclude");
    f.New = Boolean(o, "New");
    for (const QJsonValue& item : Array(o, "Shortcuts")) {
        const QJsonObject so = Object(item, "a shortcut");
        TIShortcut& s = f.Shortcuts.Add();
        s.Added = Number(so, "Added");
        s.Access = Number(so, "Access");
        s.Verified = Number(so, "Verified");
        s.Count = Integer(so, "Count", 0);
        s.VerState = Integer(so, "VerState", vsGood);
        s.Name = Text(so, "Name");
        s.Descr = Text(so, "Descr");
        Keywords(so, s.Keywords);
        s.URL = Text(so, "URL");
        s.verResponse = Text(so, "verResponse");
        s.IgnoreDup = Boolean(so, "IgnoreDup");
    }
}

// Every FolderID given, checked: a category storage is recognised by "L" as its second
// character, and one identifier may name one category only.
void CollectIds(const QJsonObject& category, bool isRoot, FolderIdNumbers& numbers,
                std::set<std::string>& seen) {
    const std::string id = Text(category, "FolderID");
    if (!isRoot && !id.empty()) {
        std::string upper = id;
        for (auto& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (id.size() < 2 || upper[1] != 'L' || id.size() > 31 ||
            id.find_first_of("/\\:!") != std::string::npos)
            Bad("\"" + id + "\" is not a category identifier");
        if (!seen.insert(upper).second)
            Bad("the identifier \"" + id + "\" is given twice");
        numbers.Add(id);
    }
    for (const QJsonValue& child : Array(category, "Categories"))
        CollectIds(Object(child, "a category"), false, numbers, seen);
}

void WriteCategories(const QJsonObject& parentJson, cfb::Storage& parentStorage,
                     FolderIdNumbers& numbers) {
    for (const QJsonValue& child : Array(parentJson, "Categories")) {
        const QJsonObject o = child.toObject();
        TISFolder folder;
        FillCategory(o, folder);
        if (folder.FolderID.empty())
            folder.FolderID = numbers.Next();
        cfb::Storage own = parentStorage.CreateStorage(folder.FolderID);
        own.CreateStream(kDataStream).Write(ObjectStream::WriteObject(folder));
        WriteCategories(o, own, numbers);
    }
}

} // namespace

int ImportJsonCommand(CommandContext& ctx) {
    bool force = false;
    std::string file;
    for (const auto& a : ctx.args) {
        if (a == "--force")
            force = true;
        else if (file.empty())
            file = a;
        else
            throw UsageError{"import-json takes one file"};
    }
    if (file.empty())
        throw UsageError{"import-json takes one file"};
    if (FileExists(file) && !force)
        throw ELynkora("The file \"" + file + "\" exists; use --force to replace it.");
    // --force replaces a collection, never one that another process holds: the old file stays
    // locked by this process until the new one has taken its place.
    std::optional<cfb::Storage> held;
    if (FileExists(file) && cfb::IsCompoundFile(file)) {
        WaitForCompaction(file);
        held = cfb::OpenCompoundFile(file, true); // a share violation ends the command here
    }

    const std::string input((std::istreambuf_iterator<char>(ctx.in)), std::istreambuf_iterator<char>());
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(input), &error);
    if (error.error != QJsonParseError::NoError)
        Bad(error.errorString().toStdString() + " at offset " + std::to_string(error.offset));
    if (!doc.isObject())
        Bad("the document must be an object");
    const QJsonObject top = doc.object();
    const QJsonObject rootJson = Object(top.value("Root"), "\"Root\"");

    FolderIdNumbers numbers;
    std::set<std::string> seen;
    CollectIds(rootJson, true, numbers, seen);
    TISFolder rootFolder;
    FillCategory(rootJson, rootFolder);
    rootFolder.FolderID.clear(); // the root category has no identifier
    const std::string version = Text(top, "AppVersion", kProgramVersion);
    const QJsonValue lastDate = top.value("LastDate");

    ReplaceWithNewFile(file, SideFileName(file, ".$im"), [&](cfb::Storage& root) {
        InitDataFile(root);
        cfb::Storage folders = root.OpenStorage(kRootFolderStorage);
        WriteFolder(folders, rootFolder, {});
        WriteCategories(rootJson, folders, numbers);
        WriteAppVersion(root, version);
        if (lastDate.isDouble())
            WriteLastDate(root, lastDate.toDouble());
    }).Close();
    if (held)
        held->Close();
    return 0;
}

} // namespace lynkora::cli
