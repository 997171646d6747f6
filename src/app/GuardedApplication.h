#pragma once
#include <QApplication>

// The program's application object. A failure that no screen handled (a
// database error in a slot reached from a drop-down, a tab switch, a
// timer) ends at notify(): the clerk sees the standard error box in
// Portuguese, the driver's words go to the log, and the program and every
// open window stay as they were. Without it the exception would end the
// process and lose the unsaved work of every screen.
class GuardedApplication : public QApplication {
public:
    GuardedApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;

    // What the guard does with an exception that reached it (tests of
    // pieces that run without this application object call it directly).
    static void report(const std::exception *e);
};
