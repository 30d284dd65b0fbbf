#pragma once
// Running marlisk-cli from a test as a script would, and reading what it left behind.

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>

namespace clirun {

struct Run {
    int status = -1;
    QByteArray out;
    QString err;
};

// Runs marlisk-cli the way a script would: no display, no platform chosen, page values
// given explicitly whatever settings file lies beside the program. `prepare` may change
// the process before it starts (its environment, its standard input).
Run runCli(const QStringList& args, const QString& workDir = {},
           const std::function<void(QProcess&)>& prepare = {});

// The two halves of runCli, for a test that acts while the program runs: the environment
// and folder, then the start with the page values.
void prepareCli(QProcess& p, const QString& workDir);
void startCli(QProcess& p, const QStringList& args);

// Runs marlisk-cli through the shell ($CLI names it), for what QProcess cannot set up
// (closed streams, pipes).
Run runShell(const QString& script);

// What a finished process left: its status and both streams.
Run finished(QProcess& p);

QByteArray contentOf(const QString& path);

}  // namespace clirun
