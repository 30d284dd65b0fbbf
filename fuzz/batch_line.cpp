// One line of a marlisk-cli batch file, as the tool reads it: split into fields, turned into
// a request on top of the defaults, and built through the same build paths as the forms,
// then judged as --check judges a batch's symbols.
// Input: the line (UTF-8, up to the first newline).

#include "cli/batch.h"
#include "cli/checking.h"
#include "cli/symbolbuild.h"
#include "fuzz/buildinput.h"
#include "fuzz/check.h"
#include "fuzz/fuzzinput.h"

namespace {
// A field written back as the batch format quotes it.
QString quoted(QString field) {
    return QLatin1Char('"') + field.replace(QLatin1String("\""), QLatin1String("\"\"")) +
           QLatin1Char('"');
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString line = fuzzing::fields(data, size, 2)[0];

    // Whatever fields a line holds, quoting them and splitting again gives them back.
    if (const auto fields = cli::splitCsv(line)) {
        QStringList again;
        for (const QString& f : *fields) again << quoted(f);
        const auto back = cli::splitCsv(again.join(QLatin1Char(',')));
        FUZZ_CHECK(back && *back == *fields);
    }

    QString error;
    const auto request = cli::requestOfLine(line.toUtf8(), cli::SymbolRequest{}, &error);
    if (!request) {
        FUZZ_CHECK(!error.isEmpty());
        return 0;
    }
    FUZZ_CHECK(!request->output.isEmpty());
    // A quoted output name keeps every byte its quotes hold (the line is split as Latin-1,
    // which keeps the bytes of the name).
    QList<bool> quotedFields;
    const auto raw = cli::splitCsv(QString::fromLatin1(line.toUtf8()), &quotedFields);
    FUZZ_CHECK(raw && raw->size() == quotedFields.size());
    if (raw->size() > 4 && quotedFields[4]) FUZZ_CHECK(request->output == raw->at(4).toLatin1());
    // No output name that reaches a file may hold a control character (a NUL would cut the
    // name short of its extension).
    for (const char c : request->output)
        FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
    QString refusal, main, addOn;
    cli::moduleStrings(*request, &main, &addOn, &refusal);
    const symbols::BuildResult built = cli::buildSymbol(*request);
    fuzzing::checkResult(built, true);
    // What a decoder should read is asked of built symbols only (the tool's check with
    // --verify).
    if (built.built()) FUZZ_CHECK(!cli::expectedData(*request).isEmpty());

    // --check's batch line, on pictures small enough to keep the target quick: none for a
    // symbol that is all ok, otherwise one line with the line's number.
    const QImage& picture = built.picture.image();
    if (!built.built() || qint64(picture.width()) * picture.height() > 200 * 1000) return 0;
    const std::vector<check::Finding> findings = cli::checkBuilt(*request, built);
    const QString said = cli::batchCheckLine(7, findings, cli::CheckOutput::Report);
    bool allOk = true;
    for (const check::Finding& f : findings) allOk = allOk && f.grade == check::Grade::Ok;
    FUZZ_CHECK(said.isEmpty() == allOk);
    FUZZ_CHECK(allOk || said.startsWith(QLatin1String("line 7: ")));
    FUZZ_CHECK(!cli::checkFails(findings) || said.contains(QLatin1String("fail")) ||
               said == QLatin1String("line 7: Does not scan\n"));
    return 0;
}
