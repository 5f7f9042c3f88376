// The yardstick of the command line's start: a Qt Core program that prints one line.
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream(stdout) << "hello\n";
    return 0;
}
