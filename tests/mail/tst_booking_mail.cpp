// The booking notice end to end: a booking saved on the attendance screen is
// mailed through a real SMTP server (aiosmtpd, started and stopped here) and
// read back with Python's own e-mail parser; an unreachable server or a
// refused STARTTLS never undoes the booking, and "Reenviar e-mail" delivers.
#include "../scheduling/SchedulingFixture.h"
#include "support/OdbcRules.h"
#include "mail/MailMessage.h"
#include "mail/MailTransport.h"
#include "scheduling/AgendaNovoAtendimentoScreen.h"
#include "support/RecordingServices.h"
#include "support/TestDatabase.h"
#include "ui/HourEdit.h"
#include "ui/IdNameCombo.h"
#include "ui/MarcacaoAtendimento.h"

#include <QStatusBar>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimeZone>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace SchedulingFixture;

namespace {

const QString kPython = QStringLiteral("/usr/bin/python3");

bool listening(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(quint16(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
}

int freePort()
{
    for (;;) {
        const int p = 20000 + int(QRandomGenerator::global()->bounded(30000));
        if (!listening(p))
            return p;
    }
}

// A server that stores the message and then keeps its answer back for
// `delay` seconds, as a mail server stuck after taking the message does.
const QString kSlowServer = QStringLiteral(
    "import sys, time, asyncio, mailbox\n"
    "from aiosmtpd.controller import Controller\n"
    "class Slow:\n"
    "    async def handle_DATA(self, server, session, envelope):\n"
    "        mailbox.Maildir(sys.argv[2], create=True).add(envelope.original_content)\n"
    "        await asyncio.sleep(float(sys.argv[3]))\n"
    "        return '250 OK'\n"
    "c = Controller(Slow(), hostname='127.0.0.1', port=int(sys.argv[1]))\n"
    "c.start()\n"
    "while True:\n"
    "    time.sleep(1)\n");

// A local SMTP server storing what arrives in a maildir.
struct SmtpServer {
    QTemporaryDir dir;
    QProcess process;
    int port = freePort();
    double answerDelay = 0; // seconds the answer to the message waits
    bool start()
    {
        if (answerDelay > 0)
            process.start(kPython, {QStringLiteral("-c"), kSlowServer, QString::number(port),
                                    dir.filePath(QStringLiteral("box")), QString::number(answerDelay)});
        else
            process.start(kPython, {QStringLiteral("-m"), QStringLiteral("aiosmtpd"), QStringLiteral("-n"), QStringLiteral("-l"),
                                    QStringLiteral("127.0.0.1:%1").arg(port), QStringLiteral("-c"),
                                    QStringLiteral("aiosmtpd.handlers.Mailbox"), dir.filePath(QStringLiteral("box"))});
        if (!process.waitForStarted(5000))
            return false;
        for (int i = 0; i < 300; ++i) {
            if (listening(port))
                return true;
            QThread::msleep(50);
        }
        return false;
    }
    ~SmtpServer()
    {
        process.terminate();
        if (!process.waitForFinished(3000))
            process.kill();
        process.waitForFinished(1000);
    }
    // Every stored message, parsed by Python's email package.
    QJsonArray messages() const
    {
        const QString script = QStringLiteral(
            "import sys, json, mailbox, email.policy, email.utils\n"
            "out = []\n"
            "for m in mailbox.Maildir(sys.argv[1], factory=None, create=False):\n"
            "    msg = email.message_from_bytes(m.as_bytes(), policy=email.policy.default)\n"
            "    name, addr = email.utils.parseaddr(str(msg['From']))\n"
            "    # the text travels in its canonical form, CR LF line ends\n"
            "    body = msg.get_body(('plain',)).get_content().replace('\\r\\n', '\\n')\n"
            "    att = [{'name': p.get_filename(), 'size': len(p.get_content())} for p in msg.iter_attachments()]\n"
            "    out.append({'fromName': name, 'from': addr, 'to': str(msg['To']), 'subject': str(msg['Subject']),\n"
            "                'date': str(msg['Date']), 'id': str(msg['Message-ID']), 'body': body, 'attachments': att})\n"
            "print(json.dumps(out))\n");
        QProcess py;
        py.start(kPython, {QStringLiteral("-c"), script, dir.filePath(QStringLiteral("box"))});
        py.waitForFinished(10000);
        return QJsonDocument::fromJson(py.readAllStandardOutput()).array();
    }
};

void writeIni(const QString &path, int port, const QString &tls, int timeout = 30)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(QStringLiteral("[mail]\nhost=127.0.0.1\nport=%1\nuser=agenda\npassword=segredo\nmailbox=agenda@cidade.test\ntls=%2\n"
                           "timeout=%3\n")
                .arg(port)
                .arg(tls)
                .arg(timeout)
                .toUtf8());
}

// The message travels on its own thread: the screen says so at once and is
// back in the clerk's hands; the outcome follows in the status bar.
void waitForMail(AgendaNovoAtendimentoScreen *s)
{
    QCOMPARE(s->mailState(), QStringLiteral("Enviando e-mail..."));
    QVERIFY(!s->action(QStringLiteral("actReenviarEmail"))->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(s->mailState() != QStringLiteral("Enviando e-mail..."), 60000);
    QVERIFY(s->action(QStringLiteral("actReenviarEmail"))->isEnabled());
}

// Books the animal from the hand-over, as the register would.
// The slot of the hour book() takes, with places free, so the desk is not
// asked about booking past the map.
void freeSlot(Connection &c)
{
    Sql::exec(c, QStringLiteral("insert into mapa_disponibilidade_agenda (Id_Mapa_disponibilidade_agenda, Id_unidade_trabalho, "
                                "Id_tipo_procedimento, Data_hora_disponibilidade, Qt_vaga_disponivel_geral, "
                                "Qt_vaga_disp_f_grande_porte, Qt_vaga_usada_geral, Qt_vaga_usada_f_grande_porte, Id_Especie) "
                                "values (1, 1, 12, :d, 10, 2, 3, 1, 1)"),
              {{QStringLiteral("d"), QDateTime(QDate::currentDate(), QTime(10, 15))}});
}

AgendaNovoAtendimentoScreen *book(int owner, int animal, int status)
{
    TMarcacaoAtendimento &m = marcacaoAtendimento();
    m.Origem = 1;
    m.IdProprietario = QString::number(owner);
    m.IdAnimal = QString::number(animal);
    auto *s = new AgendaNovoAtendimentoScreen(nullptr, 1);
    s->findChild<HourEdit *>(QStringLiteral("edtHora"))->setText(QStringLiteral("10:15"));
    s->findChild<IdNameCombo *>(QStringLiteral("dblStatus"))->selectId(status);
    s->action(QStringLiteral("actPost"))->trigger();
    return s;
}

} // namespace

class TestBookingMail : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void headers();
    void delivered_data() { addEngineRows(); }
    void delivered();
    void failures_data() { addEngineRows(); }
    void failures();
    void unconfirmed();
};

void TestBookingMail::initTestCase()
{
    OdbcRules::installForSqlite(); // statements as a T-SQL server through ODBC takes them
    QProcess probe;
    probe.start(kPython, {QStringLiteral("-c"), QStringLiteral("import aiosmtpd")});
    probe.waitForFinished(10000);
    if (probe.exitCode() != 0)
        QSKIP("python3-aiosmtpd is not installed");
}

void TestBookingMail::headers()
{
    QCOMPARE(Mime::encodedWord(QStringLiteral("plain text")), QByteArray("plain text"));
    const QByteArray w = Mime::encodedWord(QStringLiteral("Alteração"));
    QVERIFY(w.startsWith("=?UTF-8?B?"));
    QCOMPARE(QByteArray::fromBase64(w.mid(10, w.size() - 12)), QStringLiteral("Alteração").toUtf8());
    const QDateTime t(QDate(2026, 12, 9), QTime(18, 5, 7), QTimeZone(-3 * 3600));
    QCOMPARE(Mime::rfc5322Date(t), QByteArray("Wed, 09 Dec 2026 18:05:07 -0300"));
    // Missing settings: no mail section, no host.
    QTemporaryDir d;
    QVERIFY(!Mail::readSettings(d.filePath(QStringLiteral("absent.ini"))));
    writeIni(d.filePath(QStringLiteral("z.ini")), 2525, QStringLiteral("none"));
    const auto s = Mail::readSettings(d.filePath(QStringLiteral("z.ini")));
    QVERIFY(s);
    QCOMPARE(s->port, 2525);
    QVERIFY(!s->starttls);
    QVERIFY(!Mail::attachmentImage(*s).isEmpty());
}

void TestBookingMail::delivered()
{
    ZAPO_TEST_DB(db);
    Connection &c = db->main();
    fill(c);
    Sql::exec(c, QStringLiteral("delete from Orientacao_Padrao_Atend"));
    Sql::exec(c, QStringLiteral("insert into Orientacao_Padrao_Atend (Id_Orientacao_Padrao_Atend, Texto_padrao_orientacao) "
                                "values (1, :t)"),
              {{QStringLiteral("t"), QStringLiteral("Jejum de 8 horas.<br>\r\nTraga a coleira.")}});
    freeSlot(c);
    SmtpServer server;
    QVERIFY(server.start());
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("zapo.ini"));
    writeIni(ini, server.port, QStringLiteral("none"));
    Mail::setConfigFile(ini);
    RecordingMessages msgs;
    const int p = owner(c, QStringLiteral("JOÃO D'ÁVILA"));
    const int a = animal(c, p, QStringLiteral("PAÇOCA"));

    std::unique_ptr<AgendaNovoAtendimentoScreen> s(book(p, a, 2));
    QCOMPARE(msgs.texts(), QStringList{QStringLiteral("Operação realizada com sucesso!")});
    waitForMail(s.get());
    QVERIFY(s->mailState().startsWith(QStringLiteral("E-mail de aviso enviado.")));
    QCOMPARE(msgs.texts(), QStringList{QStringLiteral("Operação realizada com sucesso!")});
    const QJsonArray got = server.messages();
    QCOMPARE(got.size(), 1);
    const QJsonObject m = got.at(0).toObject();
    QCOMPARE(m.value("fromName").toString(), QStringLiteral("Alteração no procedimento cirurgico agendado para seu animal."));
    QCOMPARE(m.value("from").toString(), QStringLiteral("agenda@cidade.test"));
    QCOMPARE(m.value("subject").toString(), QStringLiteral("Centro de Controle de Zoonoses - CCZ / Prefeitura Municipal de Vessaro"));
    QVERIFY(!m.value("date").toString().isEmpty());
    QVERIFY(m.value("id").toString().contains(QLatin1Char('@')));
    const QString body = m.value("body").toString();
    QVERIFY2(body.contains(QStringLiteral("==> Óla JOÃO D'ÁVILA\n")), qPrintable(body));
    QVERIFY(body.contains(QStringLiteral("Nome do animal: PAÇOCA\n")));
    QVERIFY(body.contains(QStringLiteral("Status do atendimento: CONFIRMADO\n")));
    QVERIFY(body.contains(QStringLiteral("Procedimento: A definir.\n")));
    QVERIFY(body.contains(QStringLiteral("Espécie do animal: CANINA\n")));
    QVERIFY(body.contains(QStringLiteral("Local: Av. Central, 100 - Centro\n")));
    QVERIFY2(body.contains(QStringLiteral("Jejum de 8 horas. - Traga a coleira.")), qPrintable(body));
    const QJsonArray att = m.value("attachments").toArray();
    QCOMPARE(att.size(), 1);
    QCOMPARE(att.at(0).toObject().value("name").toString(), QStringLiteral("brasao.jpg"));
    QCOMPARE(att.at(0).toObject().value("size").toInt(), int(Mail::attachmentImage(*Mail::settings()).size()));

    // A booking in status AGENDADO with a procedure names both.
    const int b = animal(c, p, QStringLiteral("TOM"));
    s.reset(book(p, b, 1));
    waitForMail(s.get());
    const int k = s->currentKey().toInt();
    AttendanceStore(c).addProcedure(k, 12);
    s->action(QStringLiteral("actReenviarEmail"))->trigger();
    waitForMail(s.get());
    QCOMPARE(msgs.last(), QStringLiteral("E-mail de aviso enviado."));
    const QJsonArray all = server.messages();
    QCOMPARE(all.size(), 3);
    int agendado = 0;
    for (const auto &v : all)
        if (v.toObject().value("fromName").toString() == QStringLiteral("Procedimento cirurgico agendado para seu animal.")
            && v.toObject().value("body").toString().contains(QStringLiteral("Procedimento: CASTRAÇÃO\n")))
            ++agendado;
    QCOMPARE(agendado, 1);
    // The web service's counters are not the booking's business.
    QCOMPARE(count(c, QStringLiteral("select Qt_vaga_usada_geral * 10 + Qt_vaga_usada_f_grande_porte from mapa_disponibilidade_agenda")), 31);
    Mail::setConfigFile({});
}

void TestBookingMail::failures()
{
    ZAPO_TEST_DB(db);
    Connection &c = db->main();
    fill(c);
    freeSlot(c);
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("zapo.ini"));
    SmtpServer server;
    writeIni(ini, server.port, QStringLiteral("none")); // nothing listens yet
    Mail::setConfigFile(ini);
    RecordingMessages msgs;
    const int p = owner(c, QStringLiteral("MARIA"));
    const int a = animal(c, p, QStringLiteral("MEL"));

    std::unique_ptr<AgendaNovoAtendimentoScreen> s(book(p, a, 1));
    waitForMail(s.get());
    QVERIFY2(s->mailState().startsWith(QStringLiteral("E-mail de aviso não enviado: Erro de conexão")), qPrintable(s->mailState()));
    QCOMPARE(msgs.texts(),
             QStringList({QStringLiteral("Operação realizada com sucesso!"),
                          QStringLiteral("O atendimento foi gravado, mas o e-mail de aviso não foi enviado: Erro de conexão."
                                         "\rUse \"Reenviar e-mail\" para tentar de novo.")}));
    QCOMPARE(msgs.shown.at(1).kind, QStringLiteral("warning"));
    QCOMPARE(count(c, QStringLiteral("select count(*) from atendimento")), 1);

    // The server comes back: one resend delivers one message.
    QVERIFY(server.start());
    msgs.clear();
    s->reenviarEmail();
    waitForMail(s.get());
    QCOMPARE(msgs.texts(), QStringList{QStringLiteral("E-mail de aviso enviado.")});
    QCOMPARE(server.messages().size(), 1);

    // STARTTLS required by the settings but not offered: never sent in clear.
    writeIni(ini, server.port, QStringLiteral("starttls"));
    msgs.clear();
    const int b = animal(c, p, QStringLiteral("BOB"));
    s.reset(book(p, b, 1));
    waitForMail(s.get());
    QCOMPARE(msgs.shown.size(), 2);
    QCOMPARE(msgs.shown.at(0).text, QStringLiteral("Operação realizada com sucesso!"));
    QVERIFY2(msgs.shown.at(1).text.contains(QStringLiteral("STARTTLS")), qPrintable(msgs.shown.at(1).text));
    QCOMPARE(count(c, QStringLiteral("select count(*) from atendimento")), 2);
    QCOMPARE(server.messages().size(), 1);
    Mail::setConfigFile({});
}

// The server took the message and its answer never came in time: the
// clerk is told to look in the mailbox before sending again, not that the
// server could not be reached; the booking stands, once.
void TestBookingMail::unconfirmed()
{
    auto db = TestDatabase::create(QStringLiteral("sqlite"));
    QVERIFY(db);
    Connection &c = db->main();
    fill(c);
    freeSlot(c);
    SmtpServer server;
    server.answerDelay = 8;
    QVERIFY(server.start());
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("zapo.ini"));
    writeIni(ini, server.port, QStringLiteral("none"), 2);
    Mail::setConfigFile(ini);
    RecordingMessages msgs;
    const int p = owner(c, QStringLiteral("MARIA"));
    const int a = animal(c, p, QStringLiteral("MEL"));
    std::unique_ptr<AgendaNovoAtendimentoScreen> s(book(p, a, 1));
    waitForMail(s.get());
    QVERIFY2(msgs.shown.size() == 2, qPrintable(s->mailState()));
    QCOMPARE(msgs.shown.at(1).kind, QStringLiteral("warning"));
    QVERIFY2(msgs.shown.at(1).text.contains(QStringLiteral("envio não confirmado")), qPrintable(msgs.shown.at(1).text));
    QVERIFY(!msgs.shown.at(1).text.contains(QStringLiteral("Erro de conexão")));
    QVERIFY(s->mailState().contains(QStringLiteral("envio não confirmado")));
    QCOMPARE(server.messages().size(), 1);
    QCOMPARE(count(c, QStringLiteral("select count(*) from atendimento")), 1);
    Mail::setConfigFile({});
}

QTEST_MAIN(TestBookingMail)
#include "tst_booking_mail.moc"
