#pragma once
// The PDF the cups-pdf queue wrote for a job: it writes into the submitting user's ~/PDF,
// or into its anonymous spool folder.

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QTest>

namespace cupspdf {

// The newest non-empty PDF written since `started`, waiting up to 30 seconds for it and
// then half a second for cups-pdf to finish writing; empty when none came.
inline QString waitForPdf(const QDateTime& started) {
    QString pdf;
    const QStringList roots{QDir::homePath() + QStringLiteral("/PDF"),
                            QStringLiteral("/var/spool/cups-pdf")};
    for (int tries = 0; tries < 300 && pdf.isEmpty(); ++tries) {
        QTest::qWait(100);
        for (const QString& root : roots) {
            QDirIterator it(root, {QStringLiteral("*.pdf")}, QDir::Files,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString f = it.next();
                if (QFileInfo(f).lastModified() >= started && QFileInfo(f).size() > 0) pdf = f;
            }
        }
    }
    if (!pdf.isEmpty()) QTest::qWait(500);
    return pdf;
}

}  // namespace cupspdf
