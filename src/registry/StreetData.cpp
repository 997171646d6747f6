#include "registry/StreetData.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Transaction.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringDecoder>

namespace StreetData {

namespace {

ColumnDef integer(const QString &n, bool required = false) { return {n, ColumnType::Integer, 0, required}; }
ColumnDef real(const QString &n) { return {n, ColumnType::Float, 0, false}; }
ColumnDef text(const QString &n, int width, bool required = false) { return {n, ColumnType::Text, width, required}; }
ColumnDef optionalText(const QString &n, int width, const QString &absent)
{
    return {n, ColumnType::Text, width, false, absent, true};
}

} // namespace

const QList<TableDef> &tables()
{
    static const QList<TableDef> defs = {
        {QStringLiteral("TipoLogradouro"),
         {text(QStringLiteral("Tip_Logr"), 3, true), text(QStringLiteral("Des_Tip_Logr"), 20)}},
        {QStringLiteral("Logradouro"),
         {integer(QStringLiteral("num_logr"), true), text(QStringLiteral("nom_logr"), 80, true)}},
        {QStringLiteral("logradouroNome"),
         {integer(QStringLiteral("num_logr"), true), integer(QStringLiteral("num_sequ_logr"), true),
          text(QStringLiteral("tip_logr"), 3), text(QStringLiteral("nom_logr"), 80, true)}},
        {QStringLiteral("cepLogradouro"),
         {integer(QStringLiteral("num_logr"), true), integer(QStringLiteral("num_cep"), true),
          text(QStringLiteral("ind_lado_logr"), 1), text(QStringLiteral("num_imov_inic"), 6),
          text(QStringLiteral("num_imov_fina"), 6)}},
        {QStringLiteral("Bairro"),
         {integer(QStringLiteral("NUM_BAIR"), true), text(QStringLiteral("NOM_BAIR"), 50, true),
          text(QStringLiteral("TIP_BAIR"), 30), text(QStringLiteral("TIP_CLSS_BAIR"), 1),
          text(QStringLiteral("SIT_REGT"), 1)}},
        {QStringLiteral("BairroLogradouro"),
         // IND_BAIR_CORD "N": the street runs inside the neighbourhood (not
         // along its border); files without the column mean that.
         {integer(QStringLiteral("NUM_LOGR"), true), integer(QStringLiteral("NUM_BAIR"), true),
          optionalText(QStringLiteral("IND_BAIR_CORD"), 1, QStringLiteral("N"))}},
        {QStringLiteral("logradouroimovel"),
         {integer(QStringLiteral("Num_Logr"), true), text(QStringLiteral("Num_Imov"), 10, true),
          real(QStringLiteral("Val_Cood_X")), real(QStringLiteral("Val_Cood_Y"))}},
        {QStringLiteral("Localidade"),
         {integer(QStringLiteral("num_locl"), true), text(QStringLiteral("nom_locl"), 45)}},
        {QStringLiteral("AreaAbrang"),
         {integer(QStringLiteral("COD_AREA_ABRN"), true), text(QStringLiteral("DES_AREA_ABRN"), 40),
          integer(QStringLiteral("COD_DITR_SANI")), text(QStringLiteral("SIT_REGT"), 1)}},
    };
    return defs;
}

const TableDef *table(const QString &name)
{
    for (const TableDef &t : tables())
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

int TableDef::columnIndex(const QString &n) const
{
    for (int i = 0; i < columns.size(); ++i)
        if (columns.at(i).name.compare(n.trimmed(), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString Problem::toString() const
{
    return line > 0 ? QStringLiteral("%1:%2: %3").arg(file).arg(line).arg(text)
                    : QStringLiteral("%1: %2").arg(file, text);
}

bool parseCsv(const QString &text, QList<CsvRecord> *records, int *badLine, QString *problem)
{
    int line = 1;
    int i = 0;
    const int n = int(text.size());
    if (n > 0 && text.at(0) == QChar(0xFEFF))
        i = 1;
    while (i < n) {
        CsvRecord rec;
        rec.line = line;
        QString field;
        bool recordDone = false;
        while (!recordDone) {
            field.clear();
            if (i < n && text.at(i) == QLatin1Char('"')) {
                const int openedAt = line;
                ++i;
                bool closed = false;
                while (i < n) {
                    const QChar c = text.at(i);
                    if (c == QLatin1Char('"')) {
                        if (i + 1 < n && text.at(i + 1) == QLatin1Char('"')) {
                            field += c;
                            i += 2;
                            continue;
                        }
                        ++i;
                        closed = true;
                        break;
                    }
                    if (c == QLatin1Char('\n'))
                        ++line;
                    field += c;
                    ++i;
                }
                if (!closed) {
                    *badLine = openedAt;
                    *problem = QStringLiteral("aspas abertas e não fechadas");
                    return false;
                }
                if (i < n && text.at(i) == QLatin1Char('\r'))
                    ++i;
                if (i < n && text.at(i) != QLatin1Char(',') && text.at(i) != QLatin1Char('\n')) {
                    *badLine = line;
                    *problem = QStringLiteral("texto depois das aspas de fechamento");
                    return false;
                }
            } else {
                while (i < n && text.at(i) != QLatin1Char(',') && text.at(i) != QLatin1Char('\n')) {
                    if (text.at(i) == QLatin1Char('"')) {
                        *badLine = line;
                        *problem = QStringLiteral("aspas no meio de um campo sem aspas");
                        return false;
                    }
                    field += text.at(i);
                    ++i;
                }
                if (field.endsWith(QLatin1Char('\r')))
                    field.chop(1);
            }
            rec.fields << field;
            if (i >= n) {
                recordDone = true;
            } else if (text.at(i) == QLatin1Char(',')) {
                ++i;
            } else { // line break
                ++i;
                ++line;
                recordDone = true;
            }
        }
        // Blank lines (a trailing line break, say) are not records.
        if (!(rec.fields.size() == 1 && rec.fields.first().trimmed().isEmpty()))
            records->append(rec);
    }
    return true;
}

namespace {

QString findFile(const QDir &dir, const QString &tableName)
{
    const QString wanted = tableName + QStringLiteral(".csv");
    const QStringList names = dir.entryList(QDir::Files);
    for (const QString &f : names)
        if (f.compare(wanted, Qt::CaseInsensitive) == 0)
            return f;
    return {};
}

QVariant convert(const ColumnDef &col, const QString &raw, QString *problem)
{
    const QString v = raw.trimmed();
    if (v.isEmpty()) {
        if (col.required)
            *problem = QStringLiteral("a coluna %1 não pode ficar vazia").arg(col.name);
        return QVariant();
    }
    bool ok = false;
    switch (col.type) {
    case ColumnType::Integer: {
        const qlonglong x = v.toLongLong(&ok);
        if (!ok || x < -2147483648LL || x > 2147483647LL) {
            *problem = QStringLiteral("a coluna %1 deve ser um número inteiro: \"%2\"").arg(col.name, v);
            return QVariant();
        }
        return QVariant(int(x));
    }
    case ColumnType::Float: {
        double x = v.toDouble(&ok);
        if (!ok)
            x = QString(v).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
        if (!ok) {
            *problem = QStringLiteral("a coluna %1 deve ser um número: \"%2\"").arg(col.name, v);
            return QVariant();
        }
        return QVariant(x);
    }
    case ColumnType::Text:
        if (col.width > 0 && v.size() > col.width) {
            *problem = QStringLiteral("a coluna %1 aceita no máximo %2 caracteres: \"%3\"")
                           .arg(col.name).arg(col.width).arg(v);
            return QVariant();
        }
        return QVariant(v);
    }
    return QVariant();
}

void readOne(const QDir &dir, const TableDef &def, Dataset *out, QList<Problem> *problems)
{
    const QString fileName = findFile(dir, def.name);
    const QString shown = fileName.isEmpty() ? def.name + QStringLiteral(".csv") : fileName;
    auto fail = [&](int line, const QString &text) { problems->append({shown, line, text}); };
    if (fileName.isEmpty()) {
        fail(0, QStringLiteral("arquivo não encontrado em %1").arg(QDir::toNativeSeparators(dir.path())));
        return;
    }
    QFile f(dir.filePath(fileName));
    if (!f.open(QIODevice::ReadOnly)) {
        fail(0, f.errorString());
        return;
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString content = decoder.decode(f.readAll());
    if (decoder.hasError()) {
        fail(0, QStringLiteral("o arquivo não está em UTF-8"));
        return;
    }
    QList<CsvRecord> records;
    int badLine = 0;
    QString problem;
    if (!parseCsv(content, &records, &badLine, &problem)) {
        fail(badLine, problem);
        return;
    }
    if (records.isEmpty()) {
        fail(1, QStringLiteral("falta a linha de cabeçalho com os nomes das colunas"));
        return;
    }
    // Header: every column of the table, in any order and letter case.
    const CsvRecord &header = records.first();
    QList<int> position(def.columns.size(), -1);
    bool headerOk = true;
    for (int i = 0; i < header.fields.size(); ++i) {
        const int c = def.columnIndex(header.fields.at(i));
        if (c < 0) {
            fail(header.line, QStringLiteral("coluna desconhecida \"%1\"").arg(header.fields.at(i).trimmed()));
            headerOk = false;
        } else if (position[c] >= 0) {
            fail(header.line, QStringLiteral("coluna repetida \"%1\"").arg(header.fields.at(i).trimmed()));
            headerOk = false;
        } else {
            position[c] = i;
        }
    }
    for (int c = 0; c < def.columns.size(); ++c)
        if (position[c] < 0 && !def.columns.at(c).optionalInHeader) {
            fail(header.line, QStringLiteral("falta a coluna %1").arg(def.columns.at(c).name));
            headerOk = false;
        }
    if (!headerOk)
        return;

    Table t;
    t.name = def.name;
    for (int r = 1; r < records.size(); ++r) {
        const CsvRecord &rec = records.at(r);
        if (rec.fields.size() != header.fields.size()) {
            fail(rec.line, QStringLiteral("%1 campos, o cabeçalho tem %2").arg(rec.fields.size()).arg(header.fields.size()));
            continue;
        }
        QVariantList row;
        bool rowOk = true;
        for (int c = 0; c < def.columns.size(); ++c) {
            if (position[c] < 0) {
                row << def.columns.at(c).absentValue;
                continue;
            }
            QString p;
            row << convert(def.columns.at(c), rec.fields.at(position[c]), &p);
            if (!p.isEmpty()) {
                fail(rec.line, p);
                rowOk = false;
                break;
            }
        }
        if (rowOk)
            t.rows << row;
    }
    out->append(t);
}

QString csvField(const QVariant &v)
{
    if (v.isNull())
        return {};
    QString s = v.typeId() == QMetaType::Double ? QString::number(v.toDouble(), 'f', 2) : v.toString();
    if (s.contains(QLatin1Char(',')) || s.contains(QLatin1Char('"')) || s.contains(QLatin1Char('\n'))
        || s.contains(QLatin1Char('\r')) || s != s.trimmed())
        s = QLatin1Char('"') + s.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
    return s;
}

} // namespace

Dataset readCsvDirectory(const QString &dirPath, QList<Problem> *problems)
{
    Dataset out;
    const QDir dir(dirPath);
    for (const TableDef &def : tables())
        readOne(dir, def, &out, problems);
    return out;
}

void writeCsvDirectory(const Dataset &data, const QString &dirPath)
{
    QDir().mkpath(dirPath);
    const QDir dir(dirPath);
    for (const Table &t : data) {
        const TableDef *def = table(t.name);
        if (!def)
            continue;
        QString text;
        QStringList names;
        for (const ColumnDef &c : def->columns)
            names << c.name;
        text += names.join(QLatin1Char(',')) + QLatin1Char('\n');
        for (const QVariantList &row : t.rows) {
            QStringList fields;
            for (const QVariant &v : row)
                fields << csvField(v);
            text += fields.join(QLatin1Char(',')) + QLatin1Char('\n');
        }
        QSaveFile f(dir.filePath(def->name + QStringLiteral(".csv")));
        if (!f.open(QIODevice::WriteOnly) || f.write(text.toUtf8()) < 0 || !f.commit())
            throw DbError(QStringLiteral("%1: %2").arg(f.fileName(), f.errorString()));
    }
}

void replaceAll(Connection &c, const Dataset &data)
{
    const Dialect &d = c.dialect();
    QSqlDatabase db = c.db();
    Transaction tx(c);
    for (const TableDef &def : tables()) {
        QSqlQuery del(db);
        const QString sql = QStringLiteral("delete from %1").arg(d.addressTable(def.name));
        if (!del.exec(sql))
            throw DbError::from(del.lastError(), sql);
    }
    for (const Table &t : data) {
        const TableDef *def = table(t.name);
        if (!def)
            throw DbError(QStringLiteral("Tabela desconhecida do banco de endereços: %1").arg(t.name));
        QStringList cols, marks;
        for (const ColumnDef &col : def->columns) {
            cols << col.name;
            marks << QStringLiteral("?");
        }
        const QString sql = QStringLiteral("insert into %1 (%2) values (%3)")
                                .arg(d.addressTable(def->name), cols.join(QStringLiteral(", ")),
                                     marks.join(QStringLiteral(", ")));
        QSqlQuery q(db);
        if (!q.prepare(sql))
            throw DbError::from(q.lastError(), sql);
        for (const QVariantList &row : t.rows) {
            for (int i = 0; i < row.size(); ++i)
                q.bindValue(i, row.at(i));
            if (!q.exec())
                throw DbError::from(q.lastError(), sql);
        }
    }
    tx.commit();
}

QStringList summary(const Dataset &data)
{
    QStringList out;
    for (const Table &t : data)
        out << QStringLiteral("%1: %2").arg(t.name).arg(t.rows.size());
    return out;
}

} // namespace StreetData
