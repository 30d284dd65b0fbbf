#include "cli/booknumber.h"

#include <QStringList>
#include <array>

namespace cli {

namespace {

struct BookOption {
    const char* option;
    std::array<bool, 3> takenBy;  // isbn, ismn, issn
};
const std::array<BookOption, 3> kOptions = {{
    {"--price", {true, true, false}},
    {"--issue", {false, false, true}},
    {"--variant", {false, false, true}},
}};

const BookOption* optionNamed(const QString& option) {
    for (const BookOption& o : kOptions)
        if (option == QLatin1String(o.option)) return &o;
    return nullptr;
}

}  // namespace

bool isBookOption(const QString& option) {
    return optionNamed(option) != nullptr;
}

QString bookOptionProblem(const QString& option, const QString& name) {
    const BookOption* o = optionNamed(option);
    if (o == nullptr) return {};
    const symbols::BookNumberRow* row = symbols::bookNumberNamed(name);
    QStringList takers;
    for (const symbols::BookNumberRow& r : symbols::bookNumbers()) {
        const bool takes = o->takenBy[std::size_t(r.id)];
        if (takes && &r == row) return {};
        if (takes) takers << symbols::toQString(r.cliName);
    }
    return QStringLiteral("%1 does not apply to %2: it is for %3")
        .arg(option, name, takers.join(QStringLiteral(" and ")));
}

QString applyBookNumber(symbols::BookNumber kind, const symbols::BookExtras& extras,
                        bool addOnGiven, bool commentGiven, SymbolRequest& r) {
    if (addOnGiven && (!extras.price.isEmpty() || !extras.issue.isEmpty()))
        return QStringLiteral("a symbol has one add-on: give --addon, --price or --issue");
    QString refusal;
    const std::optional<symbols::BookSymbol> book =
        symbols::bookSymbol(kind, r.message, extras, &refusal);
    if (!book) return refusal;
    r.symbology = symbols::bookNumber(kind).builtAs;
    r.message = book->message;
    if (!addOnGiven) r.addon = book->addOn;
    if (!commentGiven) r.comment = book->comment;
    return {};
}

}  // namespace cli
