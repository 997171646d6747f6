// The prepared prescription texts (screens 019 and 020), their lists, and
// the printed prescription of an attendance.
#include "app/ScreenWiring.h"
#include "db/DataModule.h"
#include "db/Session.h"
#include "db/Sql.h"
#include "reports/ListReports.h"
#include "reports/RelReceituario.h"
#include "support/RecordingPreview.h"
#include "support/RecordingServices.h"
#include "support/ReportTesting.h"
#include "support/ScreenDriving.h"
#include "support/TestDatabase.h"
#include "tables/PrescriptionScreens.h"
#include "tables/PrescriptionTexts.h"
#include "tables/ReceituarioPadraoScreen.h"
#include "ui/register/FieldBinder.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

int count(const QString &sql)
{
    return Sql::scalar(mainConnection(), sql).toInt();
}

void exec(const QString &sql)
{
    Sql::exec(mainConnection(), sql);
}

} // namespace

class TestPrescriptions : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        usuarioLogado() = TUsuarioLogado{};
        usuarioLogado().IdUsuario = QStringLiteral("3");
    }

    void standardText_data() { addEngineRows(); }
    void standardText()
    {
        ZAPO_TEST_DB(t);
        RecordingMessages msgs;
        ReceituarioPadraoScreen s(screenHost());
        s.show();
        QVERIFY(s.text()->isReadOnly());
        QVERIFY(!s.save());
        QCOMPARE(msgs.last(), QStringLiteral("Clik em alterar para editar o registro."));

        const QString text = QStringLiteral("Dar 1/2 comprimido do 'remédio' de 12 em 12 horas.\nRetorno em 10 dias; d'água à vontade.");
        s.alter();
        QVERIFY(!s.text()->isReadOnly());
        s.text()->setPlainText(text);
        QVERIFY(s.save());
        QCOMPARE(msgs.last(), QStringLiteral("Operação realizada com sucesso!"));
        QVERIFY(s.text()->isReadOnly());
        s.alter();
        QVERIFY(s.save());
        QCOMPARE(count(QStringLiteral("select count(*) from receituario_padrao")), 1);
        QCOMPARE(count(QStringLiteral("select Id_Receituario_padrao from receituario_padrao")), 1);
        QCOMPARE(PrescriptionTexts::standardText(mainConnection()), text);
        QCOMPARE(count(QStringLiteral("select Modificado_Por from receituario_padrao")), 3);

        // A database without the row gets it on the first save.
        exec(QStringLiteral("delete from receituario_padrao"));
        s.alter();
        QCOMPARE(s.text()->toPlainText(), QString());
        s.text()->setPlainText(QStringLiteral("novo"));
        QVERIFY(s.save());
        QCOMPARE(PrescriptionTexts::standardText(mainConnection()), QStringLiteral("novo"));
        QCOMPARE(count(QStringLiteral("select Id_Receituario_padrao from receituario_padrao where Inserido_Por = 3")), 1);

        // The permission gate hides the buttons by these names.
        for (const char *name : {"bmpGravar", "bmpAlterar", "bmpImprimir"})
            QVERIFY(s.findChild<QPushButton *>(QLatin1String(name)));
    }

    void weightTexts_data() { addEngineRows(); }
    void weightTexts()
    {
        ZAPO_TEST_DB(t);
        RecordingMessages msgs;
        RegisterScreen s(PrescriptionScreens::textoPeso(), screenHost());
        s.show();
        s.append();
        auto *texto = qobject_cast<QPlainTextEdit *>(editorByCaption(&s, QStringLiteral("Texto:")));
        QVERIFY(texto);
        texto->setPlainText(QStringLiteral("Dipirona 5 gotas"));
        QVERIFY(!s.post());
        QCOMPARE(msgs.last(), QStringLiteral("Falta preencher !"));
        QVERIFY(typeInto(&s, QStringLiteral("Peso:"), QStringLiteral("12,5")));
        QVERIFY2(s.post(), qPrintable(msgs.last()));
        s.append();
        QVERIFY(typeInto(&s, QStringLiteral("Peso:"), QStringLiteral("30")));
        qobject_cast<QPlainTextEdit *>(editorByCaption(&s, QStringLiteral("Texto:")))->setPlainText(QStringLiteral("Outro"));
        QVERIFY(s.post());
        exec(QStringLiteral("update receituario_texto_peso set Ind_Status = 'INATIVO' where Peso = 30"));

        const auto all = PrescriptionTexts::weightTexts(mainConnection());
        QCOMPARE(all.size(), 2);
        QCOMPARE(all.first().peso.toDouble(), 12.5);
        QCOMPARE(all.first().texto, QStringLiteral("Dipirona 5 gotas"));
        QCOMPARE(PrescriptionTexts::weightTexts(mainConnection(), true).size(), 1);

        const ComposedReport r = Reports::compose(ListReports::definition(ListReport::RelTextoPeso, mainConnection()));
        QVERIFY2(r.allTexts().contains(QStringLiteral("Peso: 12,5 kilo(s)")), qPrintable(r.allTexts().join(QLatin1Char('|'))));
        QVERIFY(r.allTexts().contains(QStringLiteral("Registro: INATIVO")));

        // "Imprimir..." of both screens previews their lists.
        registerAllScreens();
        RecordingPreview preview;
        s.print();
        ReceituarioPadraoScreen padrao(screenHost());
        padrao.print();
        QCOMPARE(preview.shown.size(), 2);
        QCOMPARE(preview.shown.at(0).title, QStringLiteral("Relação peso e texto para o receituário"));
        QCOMPARE(preview.shown.at(1).title, QStringLiteral("Texto do receituário"));
    }

    void printedPrescription_data() { addEngineRows(); }
    void printedPrescription()
    {
        ZAPO_TEST_DB(t);
        exec(QStringLiteral("insert into unidade_trabalho (Id_Unidade_Trabalho, Nome, Ind_Status) values (41, 'Clínica Sul', 'ATIVO')"));
        exec(QStringLiteral("insert into unidade_trabalho (Id_Unidade_Trabalho, Nome, Ind_Status) values (42, 'Sede', 'ATIVO')"));
        usuarioLogado().IdUnidadeTrabalho = QStringLiteral("42");
        RecordingMessages msgs;
        RecordingPreview preview;

        ReceituarioData d;
        d.idAtendimento = 5012;
        d.dataHoraAtendimento = QDateTime(QDate(2026, 3, 9), QTime(8, 30));
        d.idUnidadeAgendada = 41;
        d.idProprietario = 77;
        d.nomeProprietario = QStringLiteral("MARIA DA SILVA");
        d.idAnimal = 901;
        d.nomeAnimal = QStringLiteral("TOBIAS");
        QStringList lines;
        for (int i = 1; i <= 80; ++i)
            lines << QStringLiteral("%1. Administrar o medicamento conforme orientação, observando o animal durante todo o "
                                    "período de recuperação e retornando à unidade se houver qualquer sinal de dor.")
                         .arg(i);
        d.texto = lines.join(QStringLiteral("\r\n"));
        QVERIFY(RelReceituario::open(d, screenHost()));
        QVERIFY2(msgs.shown.isEmpty(), qPrintable(msgs.last()));
        const ComposedReport &r = preview.last();
        ReportTesting::savePng(r, QStringLiteral("receituario"), r.pageCount(), 90);

        QCOMPARE(r.paper, QPageSize::A4);
        QCOMPARE(r.orientation, QPageLayout::Portrait);
        QCOMPARE(r.named(QStringLiteral("unidade")).first()->text, QStringLiteral("Clínica Sul"));
        QCOMPARE(r.named(QStringLiteral("codigo")).first()->text, QStringLiteral("REL001"));
        QCOMPARE(r.named(QStringLiteral("atendimento")).first()->text,
                 QStringLiteral("Atendimento nº: 5012     Data/Hora atend.:09/03/2026 08:30:00"));
        QCOMPARE(r.named(QStringLiteral("proprietario")).first()->text, QStringLiteral("Proprietário : 77 - MARIA DA SILVA"));
        QCOMPARE(r.named(QStringLiteral("animal")).first()->text, QStringLiteral("Animal: 901 - TOBIAS"));
        // Every line, wrapped, on as many pages as it takes.
        const auto body = r.named(QStringLiteral("texto"));
        QCOMPARE(body.size(), 80);
        QVERIFY(r.pageCount() >= 2);
        QVERIFY(body.first()->lines().size() >= 2);
        QString printed;
        for (const PlacedItem *p : body)
            printed += p->text + QLatin1Char('\n');
        printed.replace(QLatin1Char('\n'), QLatin1Char(' '));
        QVERIFY(printed.contains(QStringLiteral("80. Administrar")));
        QVERIFY(printed.simplified().endsWith(QStringLiteral("sinal de dor.")));
        for (const PlacedItem *p : body)
            QVERIFY(p->rect.bottom() <= r.pageSize.height() - 10 + 0.01);
    }

    void prescriptionFromStoredAttendance_data() { addEngineRows(); }
    void prescriptionFromStoredAttendance()
    {
        ZAPO_TEST_DB(t);
        exec(QStringLiteral("insert into proprietario (Id_Proprietario, Nome) values (77, 'MARIA')"));
        exec(QStringLiteral("insert into animal (Id_Animal, Id_Proprietario, Nome) values (901, 77, 'TOBIAS')"));
        Sql::exec(mainConnection(),
                  QStringLiteral("insert into atendimento (Id_Atendimento, Id_Proprietario, Id_Animal, Id_Unidade_Agendada, "
                                 "Data_Hora_Atendimento) values (5012, 77, 901, 41, :d)"),
                  {{QStringLiteral("d"), QDateTime(QDate(2026, 3, 9), QTime(8, 30))}});
        const ReceituarioData d = RelReceituario::fromAttendance(mainConnection(), 5012);
        QCOMPARE(d.idUnidadeAgendada.toInt(), 41);
        QCOMPARE(d.nomeProprietario, QStringLiteral("MARIA"));
        QCOMPARE(d.nomeAnimal, QStringLiteral("TOBIAS"));
        QCOMPARE(d.dataHoraAtendimento, QDateTime(QDate(2026, 3, 9), QTime(8, 30)));
        QVERIFY(!RelReceituario::fromAttendance(mainConnection(), 1).idAtendimento.isValid());
    }
};

QTEST_MAIN(TestPrescriptions)
#include "tst_prescriptions.moc"
