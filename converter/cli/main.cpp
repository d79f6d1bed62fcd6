// framewright-convert: Framewright's conversion from the command line, on
// every core, and watching the game's folder. Needs no display.
#include "Console.h"
#include "ConverterRun.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const ConsoleSession console;
    return runConverter(QCoreApplication::arguments());
}
