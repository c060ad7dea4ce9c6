#include "library/trackListFile.h"

#include "library/extendedFloat.h"
#include "metadata/genreList.h"
#include "metadata/id3Tagger.h"
#include "platform/fileNames.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <limits>

namespace {

constexpr char kSignature[] = "TPF0";

enum ValueType : quint8 {
    vaInt8 = 0x02,
    vaInt16 = 0x03,
    vaInt32 = 0x04,
    vaExtended = 0x05,
    vaString = 0x06,
    vaIdent = 0x07,
    vaFalse = 0x08,
    vaTrue = 0x09,
    vaLString = 0x0C,
};

bool sameAscii(QByteArrayView a, const char *b)
{
    const size_t n = std::strlen(b);
    return size_t(a.size()) == n && qstrnicmp(a.data(), b, qsizetype(n)) == 0;
}

// Texts that many records have in common.
bool isSharedText(const char *propertyName)
{
    const char first = propertyName[0];
    if (first != 'A' && first != 'D' && first != 'G')
        return false;
    return std::strcmp(propertyName, "Artist") == 0 || std::strcmp(propertyName, "Album") == 0 ||
           std::strcmp(propertyName, "Date") == 0 || std::strcmp(propertyName, "Genre") == 0;
}

} // namespace

QString StoredCdPath(const QString &fileName, const QString &cdRoot)
{
    QString root = cdRoot;
    while (root.endsWith(u'/'))
        root.chop(1);
    if (!fileName.startsWith(root + u'/'))
        return fileName;
    QString rest = fileName.mid(root.size());
    while (rest.startsWith(u'/'))
        rest.remove(0, 1);
    return kCdPathPrefix + rest;
}

QString ResolveCdPath(const QString &storedName, const QString &cdRoot)
{
    if (!storedName.startsWith(kCdPathPrefix))
        return storedName;
    QString root = cdRoot;
    while (root.endsWith(u'/'))
        root.chop(1);
    return root + u'/' + storedName.mid(kCdPathPrefix.size());
}

QString TlistFileReport::Problem() const
{
    if (!error.isEmpty())
        return QStringLiteral("it cannot be read (%1)").arg(error);
    if (lost > 0)
        return QStringLiteral("%1 of its %2 track records are damaged; the other %3 could be read")
            .arg(lost)
            .arg(records + lost)
            .arg(records);
    if (damaged > 0)
        return QStringLiteral("it holds damaged bytes between its track records; %1 tracks could be read")
            .arg(records);
    return QString();
}

// --- writer ---------------------------------------------------------------

void TtrackListWriter::writeName(const char *name)
{
    const size_t n = std::strlen(name);
    m_data.append(char(quint8(n)));
    m_data.append(name, qsizetype(n));
}

void TtrackListWriter::writeInteger(qint64 value)
{
    // Unsigned 32-bit fields travel as the signed value with the same bits.
    const qint32 v = qint32(quint32(quint64(value)));
    if (v >= -128 && v <= 127) {
        m_data.append(char(vaInt8));
        m_data.append(char(qint8(v)));
    } else if (v >= -32768 && v <= 32767) {
        m_data.append(char(vaInt16));
        char buf[2];
        qToLittleEndian(qint16(v), buf);
        m_data.append(buf, 2);
    } else {
        m_data.append(char(vaInt32));
        char buf[4];
        qToLittleEndian(v, buf);
        m_data.append(buf, 4);
    }
}

void TtrackListWriter::writeString(const QByteArray &bytes)
{
    if (bytes.size() <= 255) {
        m_data.append(char(vaString));
        m_data.append(char(quint8(bytes.size())));
    } else {
        m_data.append(char(vaLString));
        char buf[4];
        qToLittleEndian(quint32(bytes.size()), buf);
        m_data.append(buf, 4);
    }
    m_data.append(bytes);
}

void TtrackListWriter::Write(const TcustomTagger &record, const QString &cdRoot)
{
    m_data.append(kSignature, 4);
    writeName(record.ClassName());
    m_data.append('\0');
    for (const TaggerProperty &p : record.Properties()) {
        switch (p.kind) {
        case TaggerPropertyKind::Integer: {
            const qint64 value = p.getInteger(record);
            if (p.stored == TaggerStoredRule::WhenNonZero && value == 0)
                break;
            writeName(p.name);
            writeInteger(value);
            break;
        }
        case TaggerPropertyKind::Float: {
            const double value = p.getFloat(record);
            if (p.stored == TaggerStoredRule::WhenNonZero && value == 0)
                break;
            writeName(p.name);
            m_data.append(char(vaExtended));
            const TextendedBytes bytes = DoubleToExtended(value);
            m_data.append(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
            break;
        }
        case TaggerPropertyKind::String: {
            QString value = p.getString(record);
            if (p.stored != TaggerStoredRule::Always && value.isEmpty())
                break;
            const bool fileName = std::strcmp(p.name, "Filename") == 0;
            if (fileName && !cdRoot.isEmpty())
                value = StoredCdPath(value, cdRoot);
            writeName(p.name);
            // A file name is stored as the file system's bytes, which need
            // not be UTF-8.
            writeString(fileName ? EncodeFileName(value) : value.toUtf8());
            break;
        }
        case TaggerPropertyKind::Boolean:
            writeName(p.name);
            m_data.append(char(p.getBoolean(record) ? vaTrue : vaFalse));
            break;
        case TaggerPropertyKind::Enumeration: {
            const qint64 ordinal = p.getInteger(record);
            if (ordinal < 0 || size_t(ordinal) >= p.enumNames.size())
                break;
            writeName(p.name);
            m_data.append(char(vaIdent));
            writeName(p.enumNames[size_t(ordinal)]);
            break;
        }
        }
    }
    m_data.append('\0');
    m_data.append('\0');
}

// --- reader ---------------------------------------------------------------

TtrackListReader::TtrackListReader(const QByteArray &data)
    : m_data(data)
{
}

std::unique_ptr<TcustomTagger> TtrackListReader::Next()
{
    while (m_pos < m_data.size()) {
        const qsizetype start = m_pos;
        const bool atSignature = QByteArrayView(m_data).sliced(start).startsWith(QByteArrayView(kSignature, 4));
        if (std::unique_ptr<TcustomTagger> record = readRecord())
            return record;
        ++m_skipped;
        // Every attempt consumes at least the signature. Resume after what
        // the failed attempt consumed, at the next signature: the rest of a
        // damaged record is not mistaken for records, and the intact records
        // after it are found wherever they start.
        m_pos = std::max(m_pos, std::min(start + 4, m_data.size()));
        // The record that failed, and the records whose signatures it took
        // for its own bytes, are lost.
        const qsizetype swallowedFrom = std::min(start + 4, m_pos);
        const qsizetype swallowedTo = std::min(m_pos + 3, m_data.size());
        m_lost += (atSignature ? 1 : 0)
                  + int(QByteArrayView(m_data).sliced(swallowedFrom, swallowedTo - swallowedFrom).count(
                      QByteArrayView(kSignature, 4)));
        const qsizetype next = m_data.indexOf(QByteArrayView(kSignature, 4), m_pos);
        m_pos = next < 0 ? m_data.size() : next;
    }
    return nullptr;
}

bool TtrackListReader::readByte(quint8 &value)
{
    if (m_pos >= m_data.size())
        return false;
    value = quint8(m_data.constData()[m_pos++]);
    return true;
}

bool TtrackListReader::readShortText(QByteArrayView &text)
{
    quint8 length = 0;
    if (!readByte(length) || m_data.size() - m_pos < length)
        return false;
    text = QByteArrayView(m_data.constData() + m_pos, length);
    m_pos += length;
    return true;
}

bool TtrackListReader::readInteger(quint8 type, qint64 &value)
{
    const uchar *p = reinterpret_cast<const uchar *>(m_data.constData()) + m_pos;
    const qsizetype left = m_data.size() - m_pos;
    switch (type) {
    case vaInt8:
        if (left < 1)
            return false;
        value = qint8(p[0]);
        m_pos += 1;
        return true;
    case vaInt16:
        if (left < 2)
            return false;
        value = qFromLittleEndian<qint16>(p);
        m_pos += 2;
        return true;
    case vaInt32:
        if (left < 4)
            return false;
        value = qFromLittleEndian<qint32>(p);
        m_pos += 4;
        return true;
    default:
        return false;
    }
}

bool TtrackListReader::readStringBytes(quint8 type, QByteArrayView &bytes)
{
    qsizetype length = 0;
    if (type == vaString) {
        quint8 n = 0;
        if (!readByte(n))
            return false;
        length = n;
    } else if (type == vaLString) {
        if (m_data.size() - m_pos < 4)
            return false;
        length = qsizetype(qFromLittleEndian<quint32>(m_data.constData() + m_pos));
        m_pos += 4;
    } else {
        return false;
    }
    if (length < 0 || m_data.size() - m_pos < length)
        return false;
    bytes = QByteArrayView(m_data.constData() + m_pos, length);
    m_pos += length;
    return true;
}

QString TtrackListReader::sharedText(QByteArrayView bytes, bool fileName)
{
    // Looked up by the stored bytes: a text seen before costs no decoding and
    // no allocation.
    const std::string_view key(bytes.data(), size_t(bytes.size()));
    const auto it = m_pool.find(key);
    if (it != m_pool.end())
        return it->second;
    return m_pool.emplace(key, fileName ? DecodeFileName(bytes) : QString::fromUtf8(bytes)).first->second;
}

bool TtrackListReader::readStringValue(quint8 type, QString &value, bool shared)
{
    QByteArrayView bytes;
    if (!readStringBytes(type, bytes))
        return false;
    value = shared ? sharedText(bytes) : QString::fromUtf8(bytes);
    return true;
}

bool TtrackListReader::readFileName(quint8 type, TcustomTagger &record)
{
    QByteArrayView bytes;
    if (!readStringBytes(type, bytes))
        return false;
    // The folder is shared by the tracks of one folder; only the name is new.
    const qsizetype slash = bytes.lastIndexOf('/');
    record.SetFilenameParts(slash < 0 ? QString() : sharedText(bytes.first(slash + 1), true),
                            DecodeFileName(bytes.sliced(slash + 1)));
    return true;
}

bool TtrackListReader::readProperty(TcustomTagger &record, const TaggerProperty &property)
{
    quint8 type = 0;
    if (!readByte(type))
        return false;
    switch (property.kind) {
    case TaggerPropertyKind::Integer: {
        qint64 value = 0;
        if (!readInteger(type, value))
            return false;
        // Unsigned 32-bit properties take the value's bits.
        property.setInteger(record, value);
        return true;
    }
    case TaggerPropertyKind::Float: {
        if (type == vaExtended) {
            if (m_data.size() - m_pos < 10)
                return false;
            TextendedBytes bytes;
            std::memcpy(bytes.data(), m_data.constData() + m_pos, 10);
            m_pos += 10;
            property.setFloat(record, ExtendedToDouble(bytes));
            return true;
        }
        qint64 value = 0;
        if (!readInteger(type, value))
            return false;
        property.setFloat(record, double(value));
        return true;
    }
    case TaggerPropertyKind::String: {
        if (std::strcmp(property.name, "Filename") == 0)
            return readFileName(type, record);
        QString value;
        if (!readStringValue(type, value, isSharedText(property.name)))
            return false;
        property.setString(record, value);
        return true;
    }
    case TaggerPropertyKind::Boolean:
        if (type != vaFalse && type != vaTrue)
            return false;
        property.setBoolean(record, type == vaTrue);
        return true;
    case TaggerPropertyKind::Enumeration: {
        QByteArrayView ident;
        if (type != vaIdent || !readShortText(ident))
            return false;
        for (size_t i = 0; i < property.enumNames.size(); ++i) {
            if (sameAscii(ident, property.enumNames[i])) {
                property.setInteger(record, qint64(i));
                return true;
            }
        }
        return false;
    }
    }
    return false;
}

void TtrackListReader::shareGenreText(TcustomTagger &record)
{
    // Assigning a genre number gives the record a fresh copy of the table's
    // name; one copy per number is kept and shared instead, where assigning it
    // back leaves the number as it is.
    const quint8 number = record.GenreByte();
    if (number >= TgenreList::kGenreCount)
        return;
    QString &shared = m_sharedGenres[number];
    if (shared.isNull()) {
        if (SharedGenreList().IndexOfGenre(record.Genre()) == number)
            shared = record.Genre();
        return;
    }
    if (record.Genre() == shared && record.Genre().constData() != shared.constData())
        record.SetGenre(shared);
}

std::unique_ptr<TcustomTagger> TtrackListReader::readRecord()
{
    if (m_data.size() - m_pos < 4 || std::memcmp(m_data.constData() + m_pos, kSignature, 4) != 0) {
        m_pos = std::min(m_pos + 4, m_data.size());
        return nullptr;
    }
    m_pos += 4;
    QByteArrayView className;
    if (!readShortText(className))
        return nullptr;
    char16_t classNameText[256];
    for (qsizetype i = 0; i < className.size(); ++i)
        classNameText[i] = char16_t(uchar(className.data()[i]));
    std::unique_ptr<TcustomTagger> record = CreateTaggerByClassName(QStringView(classNameText, className.size()));
    if (!record)
        return nullptr;
    QByteArrayView componentName;
    if (!readShortText(componentName))
        return nullptr;

    const std::span<const TaggerProperty> properties = record->Properties();
    size_t expected = 0;
    for (;;) {
        QByteArrayView name;
        if (!readShortText(name))
            return nullptr;
        if (name.isEmpty())
            break;
        // Properties normally come in table order; look there first.
        const TaggerProperty *property = nullptr;
        for (size_t k = 0; k < properties.size() && !property; ++k) {
            const size_t i = (expected + k) % properties.size();
            if (sameAscii(name, properties[i].name)) {
                property = &properties[i];
                expected = i + 1;
            }
        }
        if (!property || !readProperty(*record, *property))
            return nullptr;
    }
    quint8 children = 0;
    if (!readByte(children) || children != 0)
        return nullptr;

    shareGenreText(*record);
    return record;
}
