// The binders a hand-laid screen composes: drop-downs that narrow their
// rows without losing the stored value, lists in their own order with an
// empty first line, two-digit years that keep their century, and plain
// record structs going to and from the editors.
#include "db/DataModule.h"
#include "db/Sql.h"
#include "support/TestDatabase.h"
#include "ui/DateLineEdit.h"
#include "ui/register/FieldSet.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

namespace {

struct Pet {
    QVariant Id_Raca;
    QString Nome;
    QDate Nascimento;
    QString Cor = QStringLiteral("PRETO");
};

const QList<MemberColumn<Pet>> kPetColumns = {{QStringLiteral("Id_Raca"), &Pet::Id_Raca},
                                              {QStringLiteral("Nome"), &Pet::Nome},
                                              {QStringLiteral("Nascimento"), &Pet::Nascimento},
                                              {QStringLiteral("Cor"), &Pet::Cor}};

QStringList texts(const QComboBox *c)
{
    QStringList t;
    for (int i = 0; i < c->count(); ++i)
        t << c->itemText(i);
    return t;
}

} // namespace

class TstFieldSet : public QObject {
    Q_OBJECT
private slots:
    // The breed a record holds stays shown and written back through any
    // narrowing; a new pick the narrower list lacks is dropped, and the
    // extra line belongs to its record only.
    void storedValueOutlivesNarrowerList_data() { addEngineRows(); }
    void storedValueOutlivesNarrowerList()
    {
        ZAPO_TEST_DB(t);
        Sql::exec(t->main(), QStringLiteral("insert into raca (Id_Raca, Nome, Id_Especie, Ind_Status) values "
                                            "(901, 'AKITA', 1, 'ATIVO'), (902, 'BEAGLE', 1, 'INATIVO'), (903, 'PERSA', 2, 'ATIVO')"));
        QWidget parent;
        FieldSet fields(&t->main(), QStringLiteral("animal"));
        fields.add(lookupField(QStringLiteral("Raça:"), QStringLiteral("Id_Raca"),
                               {QStringLiteral("raca"), QStringLiteral("Id_Raca"), QStringLiteral("Nome"), {}, QStringLiteral("Id_Raca > 900")})
                       .withBlank(),
                   &parent);
        FieldBinder *raca = fields.at(QStringLiteral("id_raca")); // found whatever the case
        QVERIFY(raca);
        auto *box = fields.editorAs<QComboBox>(QStringLiteral("Id_Raca"));
        fields.reloadRows();
        QCOMPARE(texts(box), (QStringList{QString(), QStringLiteral("AKITA"), QStringLiteral("BEAGLE"), QStringLiteral("PERSA")}));
        QCOMPARE(box->currentIndex(), 0);
        QVERIFY(fields.values().value(QStringLiteral("Id_Raca")).isNull());

        fields.load({{QStringLiteral("Id_Raca"), 902}});
        const QString activeOf = QStringLiteral("Id_Especie = :e and Ind_Status = 'ATIVO'");
        raca->setRowCondition(activeOf, {{QStringLiteral("e"), 1}});
        QCOMPARE(box->currentText(), QStringLiteral("BEAGLE"));
        QCOMPARE(raca->value().toInt(), 902);

        // A new pick of another species goes with the narrowing; the stored
        // breed is still on offer.
        box->setCurrentIndex(box->findText(QStringLiteral("AKITA")));
        raca->setRowCondition(activeOf, {{QStringLiteral("e"), 2}});
        QCOMPARE(box->currentIndex(), 0);
        QVERIFY(raca->value().isNull());
        QVERIFY(box->findText(QStringLiteral("BEAGLE")) >= 0);
        QVERIFY(box->findText(QStringLiteral("AKITA")) < 0);

        // Another record (or none) does not inherit the extra line.
        fields.clear();
        QVERIFY(box->findText(QStringLiteral("BEAGLE")) < 0);
        raca->setRowCondition(QString());
        QCOMPARE(box->count(), 4);
    }

    // Sizes listed smallest first by their key, an empty first line that
    // can be picked, greyed rather than read-only while locked.
    void orderBlankLineAndLocking_data() { addEngineRows(); }
    void orderBlankLineAndLocking()
    {
        ZAPO_TEST_DB(t);
        Sql::exec(t->main(), QStringLiteral("insert into porte (Id_porte, Descricao) values (901, 'PEQUENO'), (902, 'MEDIO'), (903, 'GRANDE')"));
        QWidget parent;
        FieldSet fields(&t->main());
        FieldBinder *porte = fields.add(lookupField(QStringLiteral("Porte:"), QStringLiteral("Id_Porte"),
                                                    {QStringLiteral("porte"), QStringLiteral("Id_porte"), QStringLiteral("Descricao"),
                                                     {}, QStringLiteral("Id_porte > 900"), false, QStringLiteral("Id_porte")})
                                            .withBlank()
                                            .greyedWhenLocked(),
                                        &parent);
        fields.add(choice(QStringLiteral("Sexo:"), QStringLiteral("Sexo"), {QStringLiteral("M"), QStringLiteral("F")}).withBlank(), &parent);
        fields.reloadRows();
        auto *box = qobject_cast<QComboBox *>(porte->editor());
        QCOMPARE(texts(box), (QStringList{QString(), QStringLiteral("PEQUENO"), QStringLiteral("MEDIO"), QStringLiteral("GRANDE")}));

        fields.load({{QStringLiteral("Id_Porte"), 903}, {QStringLiteral("Sexo"), QStringLiteral("F")}});
        QCOMPARE(fields.values().value(QStringLiteral("Sexo")).toString(), QStringLiteral("F"));
        fields.setEditable(false);
        QVERIFY(!box->isEnabled());
        auto *sexo = fields.editorAs<ReadOnlyComboBox>(QStringLiteral("Sexo"));
        QVERIFY(sexo->isEnabled() && sexo->isReadOnly());
        fields.setEditable(true);
        QVERIFY(box->isEnabled());
        box->setCurrentIndex(0); // the clerk takes the size away
        const Record r = fields.values();
        QVERIFY(r.value(QStringLiteral("Id_Porte")).isNull());
        // A stored word the list lacks is kept, not blanked.
        fields.load({{QStringLiteral("Sexo"), QStringLiteral("X")}});
        QCOMPARE(fields.values().value(QStringLiteral("Sexo")).toString(), QStringLiteral("X"));
    }

    void storedDateKeepsItsCentury()
    {
        QWidget parent;
        FieldSet fields(nullptr);
        FieldBinder *b = fields.add(dateField(QStringLiteral("Data nasc.:"), QStringLiteral("Nascimento")), &parent);
        auto *e = qobject_cast<DateLineEdit *>(b->editor());
        QVERIFY(e); // read as every date field reads
        QVERIFY(e->inputMask().isEmpty());
        b->load(QDate(1920, 2, 29));
        QCOMPARE(e->text(), QStringLiteral("29/02/1920"));
        QCOMPARE(b->value().toDate(), QDate(1920, 2, 29)); // not 2020
        e->setText(QStringLiteral("150319"));
        QCOMPARE(b->value().toDate(), QDate(2019, 3, 15));
        b->load(QVariant());
        QVERIFY(e->text().isEmpty());
        QVERIFY(b->value().isNull());
        e->setText(QStringLiteral("3113"));
        QVERIFY(b->value().isNull()); // half typed is no date
    }

    void structsGoToAndFromRecords()
    {
        Pet p;
        p.Id_Raca = 7;
        p.Nome = QStringLiteral("REX");
        p.Nascimento = QDate(2020, 5, 31);
        const Record r = toRecord(p, kPetColumns);
        QCOMPARE(r.value(QStringLiteral("Id_Raca")).toInt(), 7);
        QCOMPARE(r.value(QStringLiteral("Nascimento")).toDate(), QDate(2020, 5, 31));

        Pet q;
        fromRecord({{QStringLiteral("Id_Raca"), QVariant()}, {QStringLiteral("Nome"), QVariant()},
                    {QStringLiteral("Nascimento"), QVariant()}},
                   q, kPetColumns);
        QVERIFY(q.Id_Raca.isNull());
        QVERIFY(q.Nome.isEmpty());
        QVERIFY(!q.Nascimento.isValid());
        QCOMPARE(q.Cor, QStringLiteral("PRETO")); // a column the record lacks stays
    }
};

QTEST_MAIN(TstFieldSet)
#include "tst_fieldset.moc"
