#include "clirun.h"

#include <QFile>
#include <QProcessEnvironment>

namespace clirun {

Run finished(QProcess& p) {
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            QString::fromUtf8(p.readAllStandardError()).trimmed()};
}

void prepareCli(QProcess& p, const QString& workDir) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    p.setProcessEnvironment(env);
    if (!workDir.isEmpty()) p.setWorkingDirectory(workDir);
}

void startCli(QProcess& p, const QStringList& args) {
    const QStringList page{"--top", "0",       "--down", "0",          "--left",
                           "0",     "--right", "0",      "--interval", "0"};
    p.start(QStringLiteral(MARLISK_CLI), page + args);  // later options win
}

Run runCli(const QStringList& args, const QString& workDir,
           const std::function<void(QProcess&)>& prepare) {
    QProcess p;
    prepareCli(p, workDir);
    if (prepare) prepare(p);
    startCli(p, args);
    return finished(p);
}

Run runShell(const QString& script) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CLI"), QStringLiteral(MARLISK_CLI));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script});
    return finished(p);
}

QByteArray contentOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace clirun
