#include "settings/SettingsBackend.h"

#include <QSettings>

#include <limits>

using namespace Qt::StringLiterals;

std::optional<qint32> settingsIntFromVariant(const QVariant &value)
{
    if (!value.isValid())
        return std::nullopt;
    bool ok = false;
    const qlonglong number = value.toLongLong(&ok);
    if (!ok || number < std::numeric_limits<qint32>::min()
        || number > qlonglong(std::numeric_limits<quint32>::max()))
        return std::nullopt;
    return qint32(quint32(number));
}

std::optional<QString> settingsStringFromVariant(const QVariant &value)
{
    if (!value.isValid())
        return std::nullopt;
    if (value.typeId() == QMetaType::QString)
        return value.toString();
    // A hand-edited INI line "a, b" comes back as a list; one element is fine,
    // more have no single text form.
    QVariant converted = value;
    if (!converted.convert(QMetaType::fromType<QString>()))
        return std::nullopt;
    return converted.toString();
}

namespace {
QString settingsPath(QStringView section, QStringView key)
{
    QString path = section.toString();
    path += u'/';
    path += key;
    return path;
}
} // namespace

QSettingsBackend::QSettingsBackend()
    : m_owned(std::make_unique<QSettings>(u"Morvi"_s, u"Quillory"_s))
    , m_settings(m_owned.get())
{
}

QSettingsBackend::QSettingsBackend(QSettings &settings)
    : m_settings(&settings)
{
}

QSettingsBackend::~QSettingsBackend() = default;

qint32 QSettingsBackend::readInt(QStringView section, QStringView key, qint32 defaultValue) const
{
    return settingsIntFromVariant(m_settings->value(settingsPath(section, key))).value_or(defaultValue);
}

QString QSettingsBackend::readString(QStringView section, QStringView key, const QString &defaultValue) const
{
    return settingsStringFromVariant(m_settings->value(settingsPath(section, key))).value_or(defaultValue);
}

void QSettingsBackend::writeInt(QStringView section, QStringView key, qint32 value)
{
    m_settings->setValue(settingsPath(section, key), value);
}

void QSettingsBackend::writeString(QStringView section, QStringView key, const QString &value)
{
    m_settings->setValue(settingsPath(section, key), value);
}

void QSettingsBackend::flush()
{
    m_settings->sync();
}

QString MemorySettingsBackend::path(QStringView section, QStringView key)
{
    return settingsPath(section, key);
}

qint32 MemorySettingsBackend::readInt(QStringView section, QStringView key, qint32 defaultValue) const
{
    m_reads.append({section.toString(), key.toString(), defaultValue});
    return settingsIntFromVariant(m_values.value(path(section, key))).value_or(defaultValue);
}

QString MemorySettingsBackend::readString(QStringView section, QStringView key, const QString &defaultValue) const
{
    m_reads.append({section.toString(), key.toString(), defaultValue});
    return settingsStringFromVariant(m_values.value(path(section, key))).value_or(defaultValue);
}

void MemorySettingsBackend::writeInt(QStringView section, QStringView key, qint32 value)
{
    m_writes.append({section.toString(), key.toString(), value});
    m_values.insert(path(section, key), value);
}

void MemorySettingsBackend::writeString(QStringView section, QStringView key, const QString &value)
{
    m_writes.append({section.toString(), key.toString(), value});
    m_values.insert(path(section, key), value);
}

void MemorySettingsBackend::setRaw(QStringView section, QStringView key, const QVariant &value)
{
    m_values.insert(path(section, key), value);
}

QVariant MemorySettingsBackend::raw(QStringView section, QStringView key) const
{
    return m_values.value(path(section, key));
}

bool MemorySettingsBackend::contains(QStringView section, QStringView key) const
{
    return m_values.contains(path(section, key));
}
