#pragma once
// The PDF the cups-pdf queue wrote for a job: it writes into the submitting user's ~/PDF,
// or into its anonymous spool folder.

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QHash>
#include <QTest>

namespace cupspdf {

// The queue's PDFs as they are when made: the next job's PDF is the one that is new, or
// changed, since. A time alone does not tell a job from one that ended a moment before it,
// and cups-pdf may give a later job an earlier one's name.
class Jobs {
  public:
    Jobs() : before_(current()) {}

    // The next job's PDF, waiting up to 30 seconds for it and then until cups-pdf has
    // finished writing it (its size stays the same for half a second); empty when none came.
    QString waitForNext() const {
        for (int tries = 0; tries < 300; ++tries) {
            QTest::qWait(100);
            const Seen now = current();
            for (auto it = now.cbegin(); it != now.cend(); ++it) {
                if (it.value().second == 0 || before_.value(it.key()) == it.value()) continue;
                qint64 size = it.value().second;
                for (int settle = 0; settle < 60; ++settle) {
                    QTest::qWait(500);
                    const qint64 later = QFileInfo(it.key()).size();
                    if (later == size) break;
                    size = later;
                }
                return it.key();
            }
        }
        return {};
    }

  private:
    using Seen = QHash<QString, QPair<qint64, qint64>>;  // path: modified (ms), size

    static Seen current() {
        Seen seen;
        for (const QString& root :
             {QDir::homePath() + QStringLiteral("/PDF"), QStringLiteral("/var/spool/cups-pdf")}) {
            QDirIterator it(root, {QStringLiteral("*.pdf")}, QDir::Files,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QFileInfo f(it.next());
                seen.insert(f.filePath(), {f.lastModified().toMSecsSinceEpoch(), qint64(f.size())});
            }
        }
        return seen;
    }

    Seen before_;
};

}  // namespace cupspdf
