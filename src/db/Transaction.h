#pragma once

class Connection;

// Begins on construction; rolls back on destruction unless committed, so an
// exception anywhere in a multi-row save leaves nothing behind.
class Transaction {
public:
    explicit Transaction(Connection &c);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    void commit();

    // How many transactions are open on this connection now. The driver has
    // no way to ask; code that must not wait on the user while locks are held
    // (message boxes) checks this.
    static int openOn(const Connection &c);

private:
    void closed();

    Connection &m_c;
    bool m_open = false;
};
