#include "Registry.h"

#include "store/Errors.h"
#include "store/NameCollator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lynkora {

namespace {

// Marks a key kept while it holds no values; a value name the program never uses.
const QString kKeyMarker = QStringLiteral(".key");

QString Key(const std::string& key) { return QString::fromStdString(key); }

[[noreturn]] void BadType(const std::string& name) {
    throw ELynkora("Invalid data type for '" + name + "'");
}

bool AllDigits(const QString& s) {
    return !s.isEmpty() && std::all_of(s.begin(), s.end(), [](QChar c) { return c.isDigit(); });
}

// The stored spelling of a sub-key (key names ignore case, like value names).
QString ActualGroup(QSettings& s, const std::string& key) {
    for (const QString& g : s.childGroups())
        if (CompareAsciiNoCase(g.toStdString(), key) == 0)
            return g;
    return Key(key);
}

// Group scope for the length of one operation.
class InGroup {
public:
    InGroup(QSettings& s, const std::string& key) : m_s(s), m_active(!key.empty()) {
        if (m_active)
            m_s.beginGroup(ActualGroup(m_s, key));
    }
    ~InGroup() {
        if (m_active)
            m_s.endGroup();
    }

private:
    QSettings& m_s;
    bool m_active;
};

} // namespace

Registry::Registry()
    : Registry(QSettings(QSettings::IniFormat, QSettings::UserScope, "Orvendel", "Lynkora4")
                   .fileName()
                   .toStdString()) {}

Registry::Registry(const std::string& filePath) : m_path(filePath) {
    // A FIFO, a device or a folder where the settings file belongs would block or fail every
    // read: this session keeps its settings in a private file instead and leaves that one alone.
    struct stat st {};
    if (::stat(filePath.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        std::string temp = QDir::tempPath().toStdString() + "/lynkora-settings-XXXXXX";
        const int fd = ::mkstemp(temp.data());
        if (fd >= 0)
            ::close(fd);
        m_path = temp;
        m_substitute = true;
    }
    // Created owner-only before QSettings ever writes it.
    const QString path = QString::fromStdString(m_path);
    QDir().mkpath(QFileInfo(path).absolutePath());
    const int fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd >= 0)
        ::close(fd);
    ProtectFile();
    m_settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
}

void Registry::ProtectFile() { ::chmod(m_path.c_str(), 0600); }

QString Registry::Actual(const std::string& key, const std::string& name) const {
    InGroup group(*m_settings, key);
    for (const QString& k : m_settings->childKeys())
        if (CompareAsciiNoCase(k.toStdString(), name) == 0)
            return k;
    return QString::fromStdString(name);
}

bool Registry::OpenKey(const std::string& key, bool create) {
    if (key.empty())
        return true;
    for (const QString& g : m_settings->childGroups())
        if (CompareAsciiNoCase(g.toStdString(), key) == 0)
            return true;
    for (const auto& k : m_createdKeys)
        if (CompareAsciiNoCase(k, key) == 0)
            return true;
    if (create)
        m_createdKeys.insert(key);
    return create;
}

bool Registry::ValueExists(const std::string& key, const std::string& name) const {
    const QString actual = Actual(key, name);
    InGroup group(*m_settings, key);
    return m_settings->contains(actual);
}

QVariant Registry::Value(const std::string& key, const std::string& name) const {
    const QString actual = Actual(key, name);
    InGroup group(*m_settings, key);
    if (!m_settings->contains(actual))
        BadType(name);
    return m_settings->value(actual);
}

std::string Registry::ReadString(const std::string& key, const std::string& name) const {
    const QVariant v = Value(key, name);
    if (v.typeId() == QMetaType::QByteArray)
        BadType(name);
    return v.toString().toStdString();
}

std::int32_t Registry::ReadInteger(const std::string& key, const std::string& name) const {
    bool ok = false;
    const int v = Value(key, name).toString().trimmed().toInt(&ok);
    if (!ok)
        BadType(name);
    return v;
}

bool Registry::ReadBool(const std::string& key, const std::string& name) const {
    return ReadInteger(key, name) != 0;
}

std::string Registry::ReadBinary(const std::string& key, const std::string& name) const {
    const QVariant v = Value(key, name);
    if (v.typeId() != QMetaType::QByteArray)
        BadType(name);
    return v.toByteArray().toStdString();
}

void Registry::Write(const std::string& key, const std::string& name, const QVariant& value) {
    const QString actual = Actual(key, name);
    InGroup group(*m_settings, key);
    m_settings->setValue(actual, value);
}

void Registry::WriteString(const std::string& key, const std::string& name, const std::string& value) {
    Write(key, name, QString::fromStdString(value));
}

void Registry::WriteInteger(const std::string& key, const std::string& name, std::int32_t value) {
    Write(key, name, value);
}

void Registry::WriteBool(const std::string& key, const std::string& name, bool value) {
    Write(key, name, value ? 1 : 0);
}

void Registry::WriteBinary(const std::string& key, const std::string& name, const std::string& value) {
    Write(key, name, QByteArray::fromStdString(value));
}

std::vector<std::string> Registry::ValueNames(const std::string& key) const {
    QStringList names;
    {
        InGroup group(*m_settings, key);
        names = m_settings->childKeys();
    }
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const bool da = AllDigits(a), db = AllDigits(b);
        if (da && db)
            return a.size() != b.size() ? a.size() < b.size() : a < b;
        if (da != db)
            return da;
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    std::vector<std::string> out;
    for (const QString& n : names)
        if (n != kKeyMarker)
            out.push_back(n.toStdString());
    return out;
}

void Registry::KeepKey(const std::string& key) {
    OpenKey(key, true);
    InGroup group(*m_settings, key);
    m_settings->setValue(kKeyMarker, true);
}

void Registry::DeleteValue(const std::string& key, const std::string& name) {
    const QString actual = Actual(key, name);
    InGroup group(*m_settings, key);
    m_settings->remove(actual);
}

void Registry::DeleteKey(const std::string& key) {
    for (auto it = m_createdKeys.begin(); it != m_createdKeys.end();)
        it = CompareAsciiNoCase(*it, key) == 0 ? m_createdKeys.erase(it) : std::next(it);
    for (const QString& g : m_settings->childGroups())
        if (CompareAsciiNoCase(g.toStdString(), key) == 0)
            m_settings->remove(g);
}

void Registry::Sync() {
    m_settings->sync();
    ProtectFile();
}

} // namespace lynkora
