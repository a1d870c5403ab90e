#include "ChromiumProfile.h"

#include "BookmarkWriters.h"
#include "platform/StoredText.h"
#include "store/Errors.h"
#include "store/TextTools.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>

#include <filesystem>
#include <sys/stat.h>

namespace lynkora {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Fail(const std::string& file, const std::string& why) {
    throw ELynkora("Lynkora could not read the bookmarks in      \n" + file + "\n\n" + why);
}

// Entries of one JSON folder, walked without recursion; nesting is bounded by the import.
void ReadChildren(const QJsonArray& top, std::vector<ProfileNode>& into) {
    struct Pending {
        QJsonArray entries;
        std::vector<ProfileNode>* into;
    };
    std::vector<Pending> pending{{top, &into}};
    while (!pending.empty()) {
        Pending p = std::move(pending.back());
        pending.pop_back();
        p.into->reserve(static_cast<std::size_t>(p.entries.size()));
        for (const QJsonValue& value : p.entries) {
            const QJsonObject o = value.toObject();
            const QString type = o.value("type").toString();
            if (type != "url" && type != "folder")
                continue;
            ProfileNode n;
            n.folder = type == "folder";
            n.name = o.value("name").toString().toStdString();
            n.url = o.value("url").toString().toStdString();
            n.added = FromWindowsMicroseconds(o.value("date_added").toString().toLongLong());
            p.into->push_back(std::move(n));
        }
        std::size_t index = 0;
        for (const QJsonValue& value : p.entries) {
            const QJsonObject o = value.toObject();
            const QString type = o.value("type").toString();
            if (type != "url" && type != "folder")
                continue;
            if (type == "folder")
                pending.push_back({o.value("children").toArray(), &(*p.into)[index].children});
            ++index;
        }
    }
}

// Identifiers count up from the roots' 1, 2 and 3, as the browser numbers them.
struct Writer {
    long long next = 4;

    QJsonObject Node(const QString& type, const QString& name, long long id, TDateTime added) {
        QJsonObject o;
        o["date_added"] = QString::number(ToWindowsMicroseconds(added == 0 ? NowDateTime() : added));
        o["guid"] = QUuid::createUuid().toString(QUuid::WithoutBraces);
        o["id"] = QString::number(id);
        o["name"] = name;
        o["type"] = type;
        return o;
    }

    // A category's shortcuts, then its sub-categories, as the other writers order them.
    QJsonArray Children(const CategoryNode& node) {
        QJsonArray out;
        for (const auto& s : node.Folder().Shortcuts) {
            QJsonObject o = Node("url", DecodeStoredText(s->Name), next++, s->Added);
            o["url"] = DecodeStoredText(s->URL);
            out.append(o);
        }
        for (const auto& child : node.Children())
            if (!IsExcluded(*child))
                out.append(Folder(*child, next++));
        return out;
    }

    QJsonObject Folder(const CategoryNode& node, long long id) {
        QJsonObject o = Node("folder", DecodeStoredText(node.Text()), id, 0);
        o["children"] = Children(node);
        o["date_modified"] = "0";
        return o;
    }
};

} // namespace

std::string ChromiumBookmarksFile(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(path, ec) ? (fs::path(path) / "Bookmarks").string() : path;
}

std::vector<ProfileNode> ReadChromiumBookmarks(const std::string& bytes, const std::string& file) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(bytes), &error);
    if (doc.isNull())
        Fail(file, "It is no JSON text: " + error.errorString().toStdString() + ".");
    const QJsonObject roots = doc.object().value("roots").toObject();
    if (roots.isEmpty())
        Fail(file, "It holds no bookmark roots.");
    std::vector<ProfileNode> top;
    ReadChildren(roots.value("other").toObject().value("children").toArray(), top);
    const std::pair<const char*, const char*> folders[] = {{"bookmark_bar", kChromiumBarName},
                                                          {"synced", kChromiumMobileName}};
    std::vector<ProfileNode> named;
    for (const auto& [key, fallback] : folders) {
        const QJsonObject root = roots.value(key).toObject();
        const QJsonArray children = root.value("children").toArray();
        if (children.isEmpty())
            continue;
        ProfileNode folder;
        folder.folder = true;
        folder.name = fallback;
        ReadChildren(children, folder.children);
        named.push_back(std::move(folder));
    }
    // The bar first, as the browser shows it.
    top.insert(top.begin(), std::make_move_iterator(named.begin()), std::make_move_iterator(named.end()));
    return top;
}

void ImportChromiumBookmarks(const std::string& path, ImportTarget& target) {
    const std::string file = ChromiumBookmarksFile(path);
    ImportProfileTree(ReadChromiumBookmarks(ReadInputFile(file), file), target, "Chromium");
}

std::string ChromiumBookmarksText(const CategoryTree& tree) {
    Writer w;
    auto root = [&](const char* name, long long id) {
        QJsonObject o = w.Node("folder", name, id, 0);
        o["children"] = QJsonArray();
        o["date_modified"] = "0";
        return o;
    };
    QJsonObject bar = root(kChromiumBarName, 1), other = root("Other bookmarks", 2), synced = root(kChromiumMobileName, 3);
    if (const CategoryNode* top = tree.RootNode()) {
        // The root's shortcuts and every other category go to the other bookmarks.
        QJsonArray rest;
        for (const auto& s : top->Folder().Shortcuts) {
            QJsonObject o = w.Node("url", DecodeStoredText(s->Name), w.next++, s->Added);
            o["url"] = DecodeStoredText(s->URL);
            rest.append(o);
        }
        for (const auto& child : top->Children()) {
            if (IsExcluded(*child))
                continue;
            const std::string& name = child->Text();
            if (name == kChromiumBarName && bar["children"].toArray().isEmpty())
                bar["children"] = w.Children(*child);
            else if (name == kChromiumMobileName && synced["children"].toArray().isEmpty())
                synced["children"] = w.Children(*child);
            else
                rest.append(w.Folder(*child, w.next++));
        }
        other["children"] = rest;
    }
    QJsonObject roots;
    roots["bookmark_bar"] = bar;
    roots["other"] = other;
    roots["synced"] = synced;
    QJsonObject doc;
    doc["roots"] = roots;
    doc["version"] = 1;
    return QJsonDocument(doc).toJson(QJsonDocument::Indented).toStdString();
}

void ExportChromiumBookmarks(const CategoryTree& tree, const std::string& path) {
    const std::string file = ChromiumBookmarksFile(path);
    const fs::path profile = fs::path(file).parent_path();
    struct stat st {};
    // The browser keeps this link while it runs and would write its own copy over ours.
    if (::lstat((profile / "SingletonLock").c_str(), &st) == 0 || ::lstat((profile.parent_path() / "SingletonLock").c_str(), &st) == 0)
        throw ELynkora("The browser is running with this profile:      \n" + profile.string() +
                       "\n\nClose it, then synchronize again; Lynkora does not write bookmarks a running browser "
                       "would overwrite.");
    std::string why;
    if (!WriteFileReplacing(file, ChromiumBookmarksText(tree), &why))
        throw ELynkora("Could not write " + file + ": " + why);
}

} // namespace lynkora
