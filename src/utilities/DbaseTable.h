#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <stdexcept>

// A dBASE table written for spreadsheets and geographic tools: Windows-1252
// texts, numbers and dates formatted by us (never by the C library's
// locale), null as blanks in every type. No widgets here.

// Why a table could not be written (the field and row when a value is at
// fault), in words for the user.
class DbaseFailure : public std::runtime_error {
public:
    explicit DbaseFailure(const QString &reason) : std::runtime_error(reason.toStdString()), m_reason(reason) {}
    const QString &reason() const { return m_reason; }

private:
    QString m_reason;
};

struct DbaseField {
    enum class Type {
        Text,   // C(width)
        Number, // N(width, decimals)
        Date,   // D: a day
        Moment  // C(19) "YYYY-MM-DD HH:MM:SS": keeps the hour in one field
    };
    // Date-time columns hold either a day (birth, group entry) or a moment
    // (appointment hour, audit stamps); the schema does not tell them apart.
    enum class DateTimeIs { Day, Moment };

    QString name; // at most 10 characters
    Type type = Type::Text;
    int width = 0;
    int decimals = 0;

    static DbaseField text(const QString &name, int width);
    static DbaseField number(const QString &name, int width, int decimals = 0);
    static DbaseField date(const QString &name);
    static DbaseField moment(const QString &name);
    // The field for a column as the schema declares it: integer N(11,0),
    // small integer N(6,0), float N(19,6), char/varchar(n) C(n) up to 255,
    // long text C(254), date-time D or C(19). Throws DbaseFailure when the
    // schema does not know the column.
    static DbaseField forColumn(const QString &name, const QString &table, const QString &column,
                                DateTimeIs dateTimeIs = DateTimeIs::Moment);
};

// A value written otherwise than it is stored: a character without a
// Windows-1252 byte in another form or left out, or a text cut to its field.
struct DbaseChange {
    qint64 record = 0; // 1 for the first record of the table
    QString field;
    QString stored;
    QString written;
    bool cut = false;
};

// Field names for columns, in column order: names of up to 10 characters
// are kept, longer ones cut to 10; a name equal (ignoring case) to an earlier
// one becomes its first characters + "_2" ("_3", ... the first free), so the
// same columns always give the same names.
QStringList dbaseFieldNames(const QStringList &columns);

// Writes one table. The file is created by the constructor; rows are
// appended one at a time and the header is completed by close(). A table
// not closed is incomplete: the caller removes it.
class DbaseTable {
public:
    // Throws DbaseFailure.
    DbaseTable(const QString &path, const QList<DbaseField> &fields);
    ~DbaseTable();
    DbaseTable(const DbaseTable &) = delete;
    DbaseTable &operator=(const DbaseTable &) = delete;

    // One value per field, in field order; null or invalid values are
    // blanks. A number or date that does not fit fails; a text is written
    // as DbaseText::fit makes it, and a text so changed is counted and the
    // first of them kept (see changes()). Throws DbaseFailure.
    void append(const QList<QVariant> &values);
    // Completes the header and the file; throws DbaseFailure.
    void close();

    qint64 rows() const { return m_rows; }
    const QList<DbaseField> &fields() const { return m_fields; }
    // How many texts were written otherwise than stored, and the first
    // kMaxChangesKept of them.
    static constexpr int kMaxChangesKept = 10;
    qint64 changedCount() const { return m_changedCount; }
    const QList<DbaseChange> &changes() const { return m_changes; }

private:
    struct Handle;
    [[noreturn]] void fail(const QString &reason);
    // Writes the value into its field's bytes of the record.
    void format(const DbaseField &f, const QVariant &v, char *dest);

    QList<DbaseField> m_fields;
    QList<int> m_offsets; // of each field in the record (after the deletion mark)
    int m_width = 0;
    QByteArray m_record;
    QVariant m_null;
    std::unique_ptr<Handle> m_h;
    qint64 m_rows = 0;
    qint64 m_changedCount = 0;
    QList<DbaseChange> m_changes;
};
