#include "check/symbolcheck.h"

#include <QStringList>
#include <algorithm>
#include <exception>

#include "check/parts.h"

namespace check {

QString nameOf(Symbology s) {
    return symbols::toQString(symbols::symbology(s).title);
}

std::vector<TextBox> textBoxesOf(const surface::Bitmap& picture) {
    std::vector<TextBox> boxes;
    const surface::Drawing* drawing = picture.drawing();
    if (drawing == nullptr) return boxes;
    for (const surface::Drawing::Mark& op : drawing->marks) {
        if (op.kind != surface::Drawing::Mark::Kind::Text) continue;
        const QString& text = drawing->textOf(op).text;
        if (!text.isEmpty() && !op.rect.isEmpty()) boxes.push_back({text, op.rect});
    }
    return boxes;
}

BarFills barFillsOf(const surface::Bitmap& picture) {
    BarFills fills;
    const surface::Drawing* drawing = picture.drawing();
    if (drawing == nullptr) return fills;
    for (const surface::Drawing::Mark& op : drawing->marks) {
        if (op.kind != surface::Drawing::Mark::Kind::Fill || op.rect.isEmpty()) continue;
        if (qRgb(qRed(op.colour), qGreen(op.colour), qBlue(op.colour)) == qRgb(255, 255, 255))
            continue;
        fills.colour = op.colour;
        fills.rects.push_back(op.rect);
    }
    return fills;
}

CheckInput checkInputOf(Symbology s, const symbols::BuildResult& built) {
    CheckInput c;
    c.picture = built.picture.image();
    c.dpi = built.dpi;
    c.symbology = s;
    c.geometry = built.geometry;
    c.geometry.texts = textBoxesOf(built.picture);
    c.bars = barFillsOf(built.picture);
    return c;
}

QString nameOf(Grade g) {
    switch (g) {
        case Grade::Ok:
            return QStringLiteral("ok");
        case Grade::Warn:
            return QStringLiteral("warn");
        case Grade::Fail:
            return QStringLiteral("fail");
    }
    return {};
}

std::vector<Finding> checkSymbol(const CheckInput& in) {
    if (in.picture.isNull() || in.picture.width() < 1 || in.picture.height() < 1)
        return {finding(Grade::Fail, "completeness", QStringLiteral("there is no picture"))};
    if (in.dpi <= 0)
        return {finding(Grade::Fail, "completeness",
                        QStringLiteral("the picture has no resolution (%1 dpi)").arg(in.dpi))};
    try {
        const GreyPicture g = greyOf(in.picture);
        std::vector<Finding> out = decodeFindings(g, in);
        const bool reads = std::all_of(out.begin(), out.end(),
                                       [](const Finding& f) { return f.grade == Grade::Ok; });
        bool measurable = false;
        std::vector<Finding> whole = completenessFindings(g, in, &measurable);
        out.insert(out.end(), whole.begin(), whole.end());
        if (measurable) {
            std::vector<Finding> sizes = dimensionFindings(g, in);
            out.insert(out.end(), sizes.begin(), sizes.end());
        }
        for (std::vector<Finding> more :
             {contrastFindings(g, in), printingFindings(g, in, reads), dataFindings(in)})
            out.insert(out.end(), more.begin(), more.end());
        // By topic in a fixed order, worst first within each; a contrast too low to scan
        // comes before everything, as the cause of what the decoders make of it.
        static const QStringList kTopics = {
            QStringLiteral("decode"),     QStringLiteral("completeness"),
            QStringLiteral("quiet zone"), QStringLiteral("x-dimension"),
            QStringLiteral("bar width"),  QStringLiteral("contrast"),
            QStringLiteral("printing"),   QStringLiteral("data"),
            QStringLiteral("suggest")};
        const auto rank = [](const Finding& f) {
            return f.topic == QLatin1String("contrast") && f.grade == Grade::Fail
                       ? -1
                       : kTopics.indexOf(f.topic);
        };
        std::stable_sort(out.begin(), out.end(), [&rank](const Finding& a, const Finding& b) {
            const qsizetype ta = rank(a), tb = rank(b);
            return ta != tb ? ta < tb : a.grade > b.grade;
        });
        return out;
    } catch (const std::exception& e) {
        return {
            finding(Grade::Fail, "decode",
                    QStringLiteral("the check stopped: %1").arg(QString::fromLocal8Bit(e.what())))};
    }
}

QString summary(const std::vector<Finding>& findings) {
    int fails = 0, warnings = 0;
    bool unreadable = false;
    for (const Finding& f : findings) {
        if (f.grade == Grade::Fail) {
            ++fails;
            if (f.topic == QLatin1String("decode") || f.topic == QLatin1String("contrast"))
                unreadable = true;
        }
        if (f.grade == Grade::Warn) ++warnings;
    }
    if (unreadable) return QStringLiteral("Does not scan");
    if (fails == 0 && warnings == 0) return QStringLiteral("Scan OK");
    QStringList parts;
    if (fails > 0) parts << QStringLiteral("%1 fail%2").arg(fails).arg(fails == 1 ? "" : "s");
    if (warnings > 0)
        parts << QStringLiteral("%1 warning%2").arg(warnings).arg(warnings == 1 ? "" : "s");
    return QStringLiteral("Check: ") + parts.join(QStringLiteral(", "));
}

QString tooltip(const std::vector<Finding>& findings) {
    QStringList lines{summary(findings)};
    int ok = 0;
    for (const Finding& f : findings) {
        if (f.grade == Grade::Ok)
            ++ok;
        else
            lines << QStringLiteral("%1: %2").arg(nameOf(f.grade), f.text);
    }
    if (ok > 0) lines << QStringLiteral("%1 %2 ok").arg(ok).arg(ok == 1 ? "finding" : "findings");
    return lines.join(QLatin1Char('\n'));
}

QString report(const std::vector<Finding>& findings) {
    QString out;
    for (const Finding& f : findings)
        out += QStringLiteral("%1 %2: %3\n").arg(nameOf(f.grade), -4).arg(f.topic, f.text);
    return out;
}

QString jsonString(const QString& s) {
    QString out = QStringLiteral("\"");
    for (const QChar c : s) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\') + c;
        else if (c.unicode() < 0x20)
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out + QLatin1Char('"');
}

QString jsonLine(const Finding& f) {
    return QStringLiteral("{\"grade\":%1,\"topic\":%2,\"text\":%3}")
        .arg(jsonString(nameOf(f.grade)), jsonString(f.topic), jsonString(f.text));
}

}  // namespace check
