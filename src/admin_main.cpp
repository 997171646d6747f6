#include "app/Admin.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    return runAdmin(QCoreApplication::arguments());
}
