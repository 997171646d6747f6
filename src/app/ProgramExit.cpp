#include "app/ProgramExit.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

namespace ProgramExit {
namespace {
bool g_requested = false;
int g_code = 0;
std::function<void(int)> g_handler;
} // namespace

void request(int code)
{
    if (!g_requested) {
        g_requested = true;
        g_code = code;
    }
    if (g_handler) {
        g_handler(code);
        return;
    }
    QCoreApplication::exit(code);
    // exit() only leaves loops that are running; asked before the first one
    // starts (a failure while the main window is first shown), the request
    // would be lost and the program would run on. The posted exit ends the
    // loop as soon as it starts.
    if (QCoreApplication::instance() && QThread::currentThread()->loopLevel() == 0)
        QTimer::singleShot(0, QCoreApplication::instance(), [code] { QCoreApplication::exit(code); });
}

bool requested()
{
    return g_requested;
}

int code()
{
    return g_code;
}

void setHandler(std::function<void(int)> handler)
{
    g_handler = std::move(handler);
    g_requested = false;
    g_code = 0;
}

} // namespace ProgramExit
