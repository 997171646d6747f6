#include "utilities/DbaseTable.h"
#include "db/TextCodec.h"
#include "utilities/DbaseText.h"
#include "db/schema/SchemaModel.h"
#include "ui/FileErrors.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QSet>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include <shapefil.h>

namespace {

// What went wrong inside shapelib or in our file functions while a table of
// this thread was being written (shapelib's functions give no reason).
thread_local QString t_ioError;

// shapelib's own stdio path seeks back and rewrites the end-of-file mark
// after every record, which costs most of the time of a wide table. This
// file keeps writes in a 1 MiB buffer and only touches the disk when a seek
// really goes elsewhere: records appended one after the other are written
// in large blocks, with the same bytes as a result.
struct BufferedFile {
    static constexpr qsizetype Capacity = 1 << 20;
    QFile file;
    std::vector<char> buf;
    qint64 bufStart = 0;
    qint64 pos = 0;
    bool failed = false;

    bool flush()
    {
        if (buf.empty())
            return !failed;
        if (!file.seek(bufStart) || file.write(buf.data(), qint64(buf.size())) != qint64(buf.size())) {
            failed = true;
            t_ioError = FileErrors::describe(file);
        }
        buf.clear();
        return !failed;
    }
    qint64 end()
    {
        return qMax(file.size(), bufStart + qint64(buf.size()));
    }
};

BufferedFile *bf(SAFile f) { return reinterpret_cast<BufferedFile *>(f); }

SAFile hookOpen(const char *name, const char *access)
{
    auto *f = new BufferedFile;
    f->file.setFileName(QFile::decodeName(name));
    const QByteArray a(access);
    QIODevice::OpenMode mode = QIODevice::Unbuffered;
    if (a.contains('w'))
        mode |= QIODevice::ReadWrite | QIODevice::Truncate;
    else if (a.contains('+'))
        mode |= QIODevice::ReadWrite;
    else
        mode |= QIODevice::ReadOnly;
    if (!f->file.open(mode)) {
        t_ioError = FileErrors::describe(f->file);
        delete f;
        return nullptr;
    }
    f->buf.reserve(BufferedFile::Capacity);
    return reinterpret_cast<SAFile>(f);
}

SAOffset hookRead(void *p, SAOffset size, SAOffset n, SAFile file)
{
    BufferedFile *f = bf(file);
    if (!f->flush() || !f->file.seek(f->pos))
        return 0;
    const qint64 got = f->file.read(static_cast<char *>(p), qint64(size * n));
    if (got < 0)
        return 0;
    f->pos += got;
    return size ? SAOffset(got) / size : 0;
}

SAOffset hookWrite(void *p, SAOffset size, SAOffset n, SAFile file)
{
    BufferedFile *f = bf(file);
    const qint64 bytes = qint64(size * n);
    if (!f->buf.empty() && f->pos != f->bufStart + qint64(f->buf.size()))
        f->flush();
    if (f->buf.empty())
        f->bufStart = f->pos;
    const char *c = static_cast<const char *>(p);
    f->buf.insert(f->buf.end(), c, c + bytes);
    f->pos += bytes;
    if (qsizetype(f->buf.size()) >= BufferedFile::Capacity)
        f->flush();
    return f->failed ? 0 : n;
}

SAOffset hookSeek(SAFile file, SAOffset offset, int whence)
{
    BufferedFile *f = bf(file);
    const auto off = static_cast<qint64>(static_cast<long>(offset));
    switch (whence) {
    case SEEK_SET:
        f->pos = off;
        break;
    case SEEK_CUR:
        f->pos += off;
        break;
    default:
        f->pos = f->end() + off;
        break;
    }
    return 0;
}

SAOffset hookTell(SAFile file) { return SAOffset(bf(file)->pos); }

int hookFlush(SAFile file) { return bf(file)->flush() ? 0 : -1; }

int hookClose(SAFile file)
{
    BufferedFile *f = bf(file);
    bool ok = f->flush();
    if (ok && !f->file.flush()) {
        ok = false;
        t_ioError = FileErrors::describe(f->file);
    }
    f->file.close();
    delete f;
    return ok ? 0 : EOF;
}

int hookRemove(const char *name) { return QFile::remove(QFile::decodeName(name)) ? 0 : -1; }

void hookError(const char *message) { t_ioError = QString::fromLocal8Bit(message); }

double hookAtof(const char *text) { return QByteArray(text).toDouble(); }

SAHooks hooks()
{
    SAHooks h;
    SASetupDefaultHooks(&h);
    h.FOpen = hookOpen;
    h.FRead = hookRead;
    h.FWrite = hookWrite;
    h.FSeek = hookSeek;
    h.FTell = hookTell;
    h.FFlush = hookFlush;
    h.FClose = hookClose;
    h.Remove = hookRemove;
    h.Error = hookError;
    h.Atof = hookAtof;
    return h;
}

char typeLetter(DbaseField::Type t)
{
    switch (t) {
    case DbaseField::Type::Number:
        return 'N';
    case DbaseField::Type::Date:
        return 'D';
    default:
        return 'C';
    }
}

void putDigits(char *dest, int value, int digits)
{
    for (int i = digits - 1; i >= 0; --i) {
        dest[i] = char('0' + value % 10);
        value /= 10;
    }
}

// Text drivers (SQLite) hand dates back as ISO text, "2024-12-31" or
// "2024-12-31T08:30:05.000" (a blank for the T, no zone). Read here straight
// into their parts: parsing them through QDateTime costs more than the rest
// of the record. Anything else (a zone, an impossible day) is left to Qt.
struct IsoParts {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

bool digitsAt(const QChar *c, int from, int count, int *value)
{
    int v = 0;
    for (int i = from; i < from + count; ++i) {
        const char16_t u = c[i].unicode();
        if (u < '0' || u > '9')
            return false;
        v = v * 10 + (u - '0');
    }
    *value = v;
    return true;
}

bool isoParts(const QString &s, IsoParts *p)
{
    const qsizetype n = s.size();
    const QChar *c = s.constData();
    if (n < 10 || c[4] != QLatin1Char('-') || c[7] != QLatin1Char('-') || !digitsAt(c, 0, 4, &p->year)
        || !digitsAt(c, 5, 2, &p->month) || !digitsAt(c, 8, 2, &p->day) || !QDate::isValid(p->year, p->month, p->day))
        return false;
    if (n == 10)
        return true;
    if ((n != 19 && n != 23) || (c[10] != QLatin1Char('T') && c[10] != QLatin1Char(' ')) || c[13] != QLatin1Char(':')
        || c[16] != QLatin1Char(':') || !digitsAt(c, 11, 2, &p->hour) || !digitsAt(c, 14, 2, &p->minute)
        || !digitsAt(c, 17, 2, &p->second) || !QTime::isValid(p->hour, p->minute, p->second))
        return false;
    int ms = 0;
    return n == 19 || (c[19] == QLatin1Char('.') && digitsAt(c, 20, 3, &ms));
}

QString describe(const QVariant &v)
{
    const QString s = v.toString();
    return s.size() > 40 ? s.left(40) + QStringLiteral("...") : s;
}

} // namespace

DbaseField DbaseField::text(const QString &name, int width) { return {name, Type::Text, width, 0}; }
DbaseField DbaseField::number(const QString &name, int width, int decimals) { return {name, Type::Number, width, decimals}; }
DbaseField DbaseField::date(const QString &name) { return {name, Type::Date, 8, 0}; }
DbaseField DbaseField::moment(const QString &name) { return {name, Type::Moment, 19, 0}; }

DbaseField DbaseField::forColumn(const QString &name, const QString &table, const QString &column, DateTimeIs dt)
{
    const Schema::Table *t = Schema::findTable(table);
    if (t) {
        for (const Schema::Column &c : t->columns) {
            if (c.name.compare(column, Qt::CaseInsensitive) != 0)
                continue;
            switch (c.type) {
            case Schema::ColType::Integer:
                return number(name, 11);
            case Schema::ColType::SmallInt:
                return number(name, 6);
            case Schema::ColType::Float:
                return number(name, 19, 6);
            case Schema::ColType::Char:
            case Schema::ColType::VarChar:
                return text(name, c.width > 0 && c.width <= 255 ? c.width : 254);
            case Schema::ColType::LongText:
                return text(name, 254);
            case Schema::ColType::DateTime:
                return dt == DateTimeIs::Day ? date(name) : moment(name);
            }
        }
    }
    throw DbaseFailure(QStringLiteral("Coluna desconhecida: %1.%2").arg(table, column));
}

QStringList dbaseFieldNames(const QStringList &columns)
{
    QStringList out;
    QSet<QString> taken; // upper case
    for (const QString &column : columns) {
        QString name;
        for (const QChar c : column.left(10))
            name += (c.unicode() < 0x80 && (c.isLetterOrNumber() || c == QLatin1Char('_'))) ? c : QLatin1Char('_');
        if (name.isEmpty())
            name = QStringLiteral("CAMPO");
        if (taken.contains(name.toUpper())) {
            for (int n = 2;; ++n) {
                const QString suffix = QStringLiteral("_%1").arg(n);
                const QString candidate = name.left(qMin(8, 10 - int(suffix.size()))) + suffix;
                if (!taken.contains(candidate.toUpper())) {
                    name = candidate;
                    break;
                }
            }
        }
        taken.insert(name.toUpper());
        out << name;
    }
    return out;
}

struct DbaseTable::Handle {
    DBFHandle dbf = nullptr;
};

DbaseTable::DbaseTable(const QString &path, const QList<DbaseField> &fields) : m_fields(fields), m_h(new Handle)
{
    t_ioError.clear();
    SAHooks h = hooks();
    // "LDID/3" marks the table as Windows ANSI (1252) in its header, which
    // spreadsheet and geographic readers honour.
    m_h->dbf = DBFCreateLL(QFile::encodeName(path).constData(), "LDID/3", &h);
    if (!m_h->dbf)
        fail(QStringLiteral("Não foi possível criar %1: %2").arg(path, t_ioError));
    // The end-of-file mark is written once, by close().
    DBFSetWriteEndOfFileChar(m_h->dbf, 0);
    const QDate today = QDate::currentDate();
    DBFSetLastModifiedDate(m_h->dbf, today.year() - 1900, today.month(), today.day());
    for (const DbaseField &f : m_fields) {
        const QByteArray name = f.name.toLatin1();
        if (name.isEmpty() || name.size() > 10)
            fail(QStringLiteral("Nome de campo inválido: %1").arg(f.name));
        const int width = f.type == DbaseField::Type::Date ? 8 : f.type == DbaseField::Type::Moment ? 19 : f.width;
        if (width < 1 || width > 255)
            fail(QStringLiteral("Largura inválida no campo %1").arg(f.name));
        if (DBFAddNativeFieldType(m_h->dbf, name.constData(), typeLetter(f.type), width,
                                  f.type == DbaseField::Type::Number ? f.decimals : 0) < 0)
            fail(QStringLiteral("Não foi possível criar o campo %1: %2").arg(f.name, t_ioError));
        m_offsets << 1 + m_width;
        m_width += width;
    }
    m_record.resize(1 + m_width);
    // Records are written by append() itself, laid out as shapelib laid out
    // the header (see there).
    if (m_h->dbf->nRecordLength != m_record.size() || m_h->dbf->nRecords != 0)
        fail(QStringLiteral("Registro de %1 bytes inesperado em %2").arg(m_h->dbf->nRecordLength).arg(path));
}

DbaseTable::~DbaseTable()
{
    if (m_h && m_h->dbf)
        DBFClose(m_h->dbf);
}

void DbaseTable::fail(const QString &reason)
{
    if (m_h && m_h->dbf) {
        DBFClose(m_h->dbf);
        m_h->dbf = nullptr;
    }
    throw DbaseFailure(reason);
}

void DbaseTable::format(const DbaseField &f, const QVariant &v, char *dest)
{
    auto wrong = [&](const QString &why) {
        fail(QStringLiteral("Campo %1, registro %2: %3").arg(f.name).arg(m_rows + 1).arg(why));
    };
    switch (f.type) {
    case DbaseField::Type::Text: {
        // Read in place when the value is text (nearly always): no copy.
        const bool isText = v.typeId() == QMetaType::QString;
        const QString converted = isText ? QString() : v.toString();
        const QString &s = isText ? *static_cast<const QString *>(v.constData()) : converted;
        // Trailing blanks mean nothing in a dBASE text (char(n) columns
        // come back padded).
        qsizetype n = s.size();
        while (n > 0 && s.at(n - 1) == QLatin1Char(' '))
            --n;
        // Nearly every text is Latin-1 and fits: copied in one tight pass.
        const QChar *c = s.constData();
        bool others = n > f.width;
        for (qsizetype i = 0; i < n && !others; ++i) {
            const char16_t u = c[i].unicode();
            dest[i] = char(u);
            others = u > 0xFF || (u >= 0x80 && u < 0xA0);
        }
        if (others) {
            const DbaseText::Fitted fitted = DbaseText::fit(QStringView(s).left(n), f.width);
            memset(dest, ' ', size_t(f.width));
            memcpy(dest, fitted.bytes.constData(), size_t(fitted.bytes.size()));
            if (fitted.changed()) {
                if (m_changes.size() < kMaxChangesKept)
                    m_changes.append({m_rows + 1, f.name, s.left(n), Cp1252::decode(fitted.bytes), fitted.cut});
                ++m_changedCount;
            }
        }
        break;
    }
    case DbaseField::Type::Number: {
        char tmp[64];
        std::to_chars_result r{};
        bool ok = false;
        if (f.decimals == 0) {
            // A fraction in a whole-number field is refused, never cut.
            const bool real = v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float;
            qlonglong i = real ? 0 : v.toLongLong(&ok);
            if (!ok) {
                const double d = v.toDouble(&ok);
                ok = ok && std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 1e18;
                i = qlonglong(d);
            }
            if (ok)
                r = std::to_chars(tmp, tmp + sizeof tmp, i);
        } else {
            const double d = v.toDouble(&ok);
            ok = ok && std::isfinite(d) && std::fabs(d) < 1e30;
            if (ok)
                r = std::to_chars(tmp, tmp + sizeof tmp, d, std::chars_format::fixed, f.decimals);
        }
        if (!ok || r.ec != std::errc())
            wrong(QStringLiteral("\"%1\" não é um número.").arg(describe(v)));
        const int len = int(r.ptr - tmp);
        if (len > f.width)
            wrong(QStringLiteral("o número %1 não cabe nos %2 dígitos do campo.").arg(QString::fromLatin1(tmp, len)).arg(f.width));
        // Numbers are right-aligned in their field.
        memcpy(dest + f.width - len, tmp, size_t(len));
        break;
    }
    case DbaseField::Type::Date: {
        IsoParts p;
        if (!(v.typeId() == QMetaType::QString && isoParts(*static_cast<const QString *>(v.constData()), &p))) {
            const QDate d = v.typeId() == QMetaType::QDateTime ? v.toDateTime().date() : v.toDate();
            if (!d.isValid() || d.year() < 1 || d.year() > 9999)
                wrong(QStringLiteral("\"%1\" não é uma data.").arg(describe(v)));
            d.getDate(&p.year, &p.month, &p.day);
        }
        if (p.year < 1)
            wrong(QStringLiteral("\"%1\" não é uma data.").arg(describe(v)));
        putDigits(dest, p.year, 4);
        putDigits(dest + 4, p.month, 2);
        putDigits(dest + 6, p.day, 2);
        break;
    }
    case DbaseField::Type::Moment: {
        IsoParts p;
        if (!(v.typeId() == QMetaType::QString && isoParts(*static_cast<const QString *>(v.constData()), &p))) {
            const QDateTime t = v.typeId() == QMetaType::QDate ? QDateTime(v.toDate(), QTime(0, 0)) : v.toDateTime();
            if (!t.isValid() || t.date().year() < 1 || t.date().year() > 9999)
                wrong(QStringLiteral("\"%1\" não é uma data e hora.").arg(describe(v)));
            const QTime h = t.time();
            t.date().getDate(&p.year, &p.month, &p.day);
            p.hour = h.hour();
            p.minute = h.minute();
            p.second = h.second();
        }
        if (p.year < 1)
            wrong(QStringLiteral("\"%1\" não é uma data e hora.").arg(describe(v)));
        putDigits(dest, p.year, 4);
        dest[4] = '-';
        putDigits(dest + 5, p.month, 2);
        dest[7] = '-';
        putDigits(dest + 8, p.day, 2);
        dest[10] = ' ';
        putDigits(dest + 11, p.hour, 2);
        dest[13] = ':';
        putDigits(dest + 14, p.minute, 2);
        dest[16] = ':';
        putDigits(dest + 17, p.second, 2);
        break;
    }
    }
}

void DbaseTable::append(const QList<QVariant> &values)
{
    if (!m_h->dbf)
        throw DbaseFailure(QStringLiteral("Tabela já fechada."));
    // The whole record is composed here: blanks (not deleted, and null in
    // every field type), then each value in place.
    memset(m_record.data(), ' ', size_t(m_record.size()));
    for (int i = 0; i < m_fields.size(); ++i) {
        const QVariant &v = i < values.size() ? values.at(i) : m_null;
        if (!v.isNull() && v.isValid())
            format(m_fields.at(i), v, m_record.data() + m_offsets.at(i));
    }
    // Then written straight after the previous one into the buffered file.
    // shapelib's DBFWriteTuple would first blank its own copy of the record
    // byte by byte, a third of the time of a wide table; it is given the
    // count of records at close() instead, and writes the header as always.
    DBFInfo *d = m_h->dbf;
    bf(d->fp)->pos = qint64(d->nHeaderLength) + m_rows * d->nRecordLength;
    if (hookWrite(m_record.data(), SAOffset(m_record.size()), 1, d->fp) != 1)
        fail(QStringLiteral("Erro ao gravar o registro %1: %2").arg(m_rows + 1).arg(t_ioError));
    ++m_rows;
}

void DbaseTable::close()
{
    if (!m_h->dbf)
        throw DbaseFailure(QStringLiteral("Tabela já fechada."));
    t_ioError.clear();
    DBFInfo *d = m_h->dbf;
    if (m_rows > 0) {
        // The end-of-file mark right after the last record, where shapelib
        // puts it; then the header's count and date are written by DBFClose.
        char mark = 0x1A;
        bf(d->fp)->pos = qint64(d->nHeaderLength) + m_rows * d->nRecordLength;
        hookWrite(&mark, 1, 1, d->fp);
        d->nRecords = int(m_rows);
        d->bUpdated = 1;
    }
    // An empty table gets its mark after the header from shapelib itself.
    DBFSetWriteEndOfFileChar(d, 1);
    DBFClose(d);
    m_h->dbf = nullptr;
    if (!t_ioError.isEmpty())
        throw DbaseFailure(QStringLiteral("Erro ao gravar a tabela: %1").arg(t_ioError));
}
