#pragma once
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <optional>

class Connection;

// A live special grant, as the grid lists it.
struct Grant {
    int id = 0;
    int proprietario = 0;
    QString nome;
    int quantidade = 0;
    QDateTime inseridoEm;
};

struct GrantOwner {
    int id = 0;
    QString nome, telefone, tipoPessoa, cpfCnpj, ci, email;
    QDateTime inseridoEm;
};

struct GrantAppointment {
    QString animal, status;
    QDateTime dataHora;
    QString unidade;
};

// Every statement of the special grants (`agendamento_especial`, which the
// web booking service reads) and the owner figures beside them. Appointments
// with status 7 (cancelled) count nowhere.
class GrantStore {
public:
    explicit GrantStore(Connection &c);

    // Owner codes are whole numbers; anything else finds nobody.
    static std::optional<int> ownerCode(const QString &text);

    // Live grants, each owner's newest first.
    QList<Grant> live();
    // Owners by code and/or a part of the name (taken literally).
    QList<GrantOwner> owners(const QString &codigo, const QString &nome);
    bool ownerExists(int owner);
    QList<QPair<QString, int>> appointmentsByStatus(int owner);
    // The allowance total: 0 without live grants.
    int allowanceTotal(int owner);
    // Appointments held (every status but 7).
    int appointmentsHeld(int owner);
    QList<GrantAppointment> appointments(int owner);

    // Key taken inside the saving transaction.
    int grant(int owner, int quantity, const QString &user);
    // Withdraws a live grant of that owner; false when it was not live (or
    // not the owner's) any more.
    bool withdraw(int grantId, int owner, const QString &user);

private:
    Connection &m_c;
};
