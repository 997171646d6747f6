#pragma once
#include <QString>

class Connection;

struct NewUser {
    QString unitName;    // created when no unit of that name exists
    QString name;
    QString login;
    QString password;
    int profileId = 1000;
};

// Creates a staff user in one transaction: the work unit when missing
// (upper case, "ATIVO"), then the user with the password digest. Returns the
// new user's id. Throws DbError with a message for people on bad input.
int addUserAccount(Connection &c, const NewUser &u);

// True when the database has no staff user yet (a fresh install).
bool hasNoUsers(Connection &c);
