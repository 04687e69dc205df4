#pragma once
#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>
#include <QVariant>

#include <memory>
#include <optional>

class QSettings;

// Sections of the per-user store.
namespace SettingsSection {
inline constexpr QStringView Settings = u"Settings";
inline constexpr QStringView Workspace = u"Workspace";
inline constexpr QStringView RecentFileList = u"Recent File List";
}

// The per-user store, by section and key. The store never reports a
// failure: a value that is absent or cannot be read gives the caller's
// default, and a write that fails is lost.
class SettingsBackend
{
public:
    virtual ~SettingsBackend() = default;

    virtual qint32 readInt(QStringView section, QStringView key, qint32 defaultValue) const = 0;
    virtual QString readString(QStringView section, QStringView key, const QString &defaultValue) const = 0;
    virtual void writeInt(QStringView section, QStringView key, qint32 value) = 0;
    virtual void writeString(QStringView section, QStringView key, const QString &value) = 0;
    // Pushes buffered writes out to the storage; called after a batch.
    virtual void flush() {}
};

// How a stored value becomes an integer: any integer in the range of a
// 32-bit value, signed or unsigned (unsigned ones wrap to signed, as a
// registry DWORD is read back). Anything else (text, a list, an empty value)
// gives nothing. INI files hand integers back as strings.
std::optional<qint32> settingsIntFromVariant(const QVariant &value);
// A stored value as text; a value with no single text form gives nothing.
std::optional<QString> settingsStringFromVariant(const QVariant &value);

// The platform store through QSettings: by default the user's
// QSettings("Morvi", "Quillory"); or a QSettings the caller owns (an INI
// file in a test), which must outlive this backend.
class QSettingsBackend final : public SettingsBackend
{
public:
    QSettingsBackend();
    explicit QSettingsBackend(QSettings &settings);
    ~QSettingsBackend() override;
    QSettingsBackend(const QSettingsBackend &) = delete;
    QSettingsBackend &operator=(const QSettingsBackend &) = delete;

    qint32 readInt(QStringView section, QStringView key, qint32 defaultValue) const override;
    QString readString(QStringView section, QStringView key, const QString &defaultValue) const override;
    void writeInt(QStringView section, QStringView key, qint32 value) override;
    void writeString(QStringView section, QStringView key, const QString &value) override;
    void flush() override;

private:
    std::unique_ptr<QSettings> m_owned;
    QSettings *m_settings;
};

// A store in memory for tests. Keeps a log of every read and write in the
// order they happened; setRaw() plants a value (any QVariant, for instance
// a string in an integer key, as an INI file would hold it) without logging.
class MemorySettingsBackend final : public SettingsBackend
{
public:
    struct Access
    {
        QString section;
        QString key;
        QVariant value; // the value written, or the default passed to a read
    };

    qint32 readInt(QStringView section, QStringView key, qint32 defaultValue) const override;
    QString readString(QStringView section, QStringView key, const QString &defaultValue) const override;
    void writeInt(QStringView section, QStringView key, qint32 value) override;
    void writeString(QStringView section, QStringView key, const QString &value) override;

    void setRaw(QStringView section, QStringView key, const QVariant &value);
    // The stored value, or an invalid QVariant when the key is absent.
    QVariant raw(QStringView section, QStringView key) const;
    bool contains(QStringView section, QStringView key) const;
    qsizetype size() const { return m_values.size(); }

    const QList<Access> &reads() const { return m_reads; }
    const QList<Access> &writes() const { return m_writes; }
    void clearLog()
    {
        m_reads.clear();
        m_writes.clear();
    }

private:
    static QString path(QStringView section, QStringView key);

    QHash<QString, QVariant> m_values;
    mutable QList<Access> m_reads;
    QList<Access> m_writes;
};
