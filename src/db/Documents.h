#pragma once
#include <QString>

// Brazilian tax numbers, e-mail addresses and the masked texts the owner
// screen edits. Pure functions: no database, no widgets.
namespace Documents {

// Every character that is not a decimal digit removed.
QString digitsOnly(const QString &text);

// Check digits of a person's tax number (11 digits). Refuses other lengths,
// any non-digit and the eleven "all the same digit" numbers, which pass the
// arithmetic but are not issued.
bool validaCpf(const QString &text);
// Check digits of an organisation's tax number (14 digits); the same rules.
bool validaCnpj(const QString &text);

// The loose address check the service has always applied: something before
// the "@", and after it a dot preceded by at least two characters.
bool validaEmail(const QString &text);

// Input masks (Qt syntax) of the owner fields. The tax number's mask follows
// the person type: 11 digits for "FÍSICA" (or nothing chosen), 14 for
// "JURÍDICA".
QString cpfCnpjMask(const QString &tipoPessoa);
QString homePhoneMask();   // (99)9999##9999: 8 or 10 digits after the area code
QString mobilePhoneMask(); // (99)99999-9999
QString cepMask();         // 99999-999

// The person types offered.
QString pessoaFisica();   // "FÍSICA"
QString pessoaJuridica(); // "JURÍDICA"

// A telephone as stored, "(11)98765-4321", split for the web account: the
// two characters inside the parentheses and everything after the ")".
struct PhoneParts {
    QString ddd;
    QString number;
};
PhoneParts splitPhone(const QString &stored);
// A stored home telephone as the home mask shows it: eight-digit numbers
// leave the mask's two optional positions blank.
QString homePhoneForMask(const QString &stored);
// True when the telephone holds no digit (an untouched masked field).
bool phoneEmpty(const QString &stored);

// A postal code as 8 digits ("01310100"); integer columns of the street
// database lose the leading zero, which this puts back. Empty when `value`
// holds no digit.
QString cepText(const QVariant &value);
// "01310-100" for people.
QString cepDisplay(const QString &digits);

} // namespace Documents
