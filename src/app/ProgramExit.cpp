#include "app/ProgramExit.h"

#include <QCoreApplication>

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
    if (g_handler)
        g_handler(code);
    else
        QCoreApplication::exit(code);
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
