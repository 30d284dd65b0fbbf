#include "cli/checking.h"

#include <QStringList>
#include <algorithm>

#include "check/remedy.h"
#include "cli/symbolbuild.h"
#include "cli/verify.h"

namespace cli {

std::vector<check::Finding> checkBuilt(const SymbolRequest& r, const symbols::BuildResult& built) {
    return check::checkSymbol(check::checkInputOf(r.symbology, built));
}

std::vector<check::Finding> checkIfAsked(const Options& o, const SymbolRequest& r,
                                         const symbols::BuildResult& built) {
    if (!o.verify && o.check == CheckOutput::None) return {};
    return checkBuilt(r, built);
}

void addRemedy(const SymbolRequest& r, const symbols::BuildResult& built,
               std::vector<check::Finding>& findings) {
    const auto remedy = check::remedyFor(check::checkInputOf(r.symbology, built), r.page,
                                         [&r](const symbols::PageValues& page) {
                                             SymbolRequest again = r;
                                             again.page = page;
                                             return buildSymbol(again);
                                         });
    if (remedy) findings.push_back(check::remedyFinding(*remedy));
}

QString verifyBuilt(const SymbolRequest& r, const symbols::BuildResult& built,
                    const std::vector<check::Finding>& findings) {
    const QString failed = verify(built.picture, expectedData(r), r.addon);
    if (!failed.isEmpty()) return failed;
    // Read in the middle the symbol is right; a scanner's beam crossing elsewhere must not
    // read something else.
    QStringList other;
    for (const check::Finding& f : findings)
        if (check::readsOtherData(f)) other << f.text;
    if (other.isEmpty()) return {};
    return QStringLiteral("verification failed: ") + other.join(QStringLiteral("; "));
}

bool checkFails(const std::vector<check::Finding>& findings) {
    for (const check::Finding& f : findings)
        if (f.grade == check::Grade::Fail) return true;
    return false;
}

QString checkOutput(const std::vector<check::Finding>& findings, CheckOutput how) {
    if (how == CheckOutput::Report) return check::report(findings);
    QString out;
    if (how == CheckOutput::Json)
        for (const check::Finding& f : findings) out += check::jsonLine(f) + QLatin1Char('\n');
    return out;
}

QString batchCheckLine(int line, const std::vector<check::Finding>& findings, CheckOutput how) {
    const bool allOk = std::all_of(findings.begin(), findings.end(), [](const check::Finding& f) {
        return f.grade == check::Grade::Ok;
    });
    if (how == CheckOutput::None || allOk) return {};
    const QString summary = check::summary(findings);
    if (how == CheckOutput::Json)
        return QStringLiteral("{\"line\":%1,\"summary\":%2}\n")
            .arg(QString::number(line), check::jsonString(summary));
    return QStringLiteral("line %1: %2\n").arg(QString::number(line), summary);
}

}  // namespace cli
