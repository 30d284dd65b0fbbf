#include <QHash>
#include <QRegularExpression>
#include <algorithm>

#include "check/parts.h"
#include "check/rowdecode.h"

namespace check {

namespace {

// UPC-A is EAN-13 with a leading 0; decoders report it either way.
QString normalised(const QString& format, const QString& text) {
    if (format == QLatin1String("UPC-A") && text.size() == 12) return QLatin1Char('0') + text;
    return text;
}

// What one decoder made of one row.
struct RowVerdict {
    bool main = false;
    bool addOn = false;
    QString other;  // "add-on 51, expected 12"; empty when everything read was expected
};

RowVerdict judge(const std::vector<Read>& reads, const QString& data, const QString& addOn) {
    RowVerdict v;
    QStringList other;
    for (const Read& r : reads) {
        if (r.addOn) {
            if (r.text == addOn)
                v.addOn = true;
            else
                other << QStringLiteral("add-on %1, expected %2")
                             .arg(r.text, addOn.isEmpty() ? QStringLiteral("none") : addOn);
        } else if (normalised(r.format, r.text) == data) {
            v.main = true;
        } else {
            other << QStringLiteral("%1 %2, expected %3").arg(r.format, r.text, data);
        }
    }
    v.other = other.join(QStringLiteral("; "));
    return v;
}

struct Band {
    int first = -1, last = -1;
    int rows = 0;
    void add(int y) {
        if (first < 0) first = y;
        last = y;
        ++rows;
    }
};

QString whereRead(const Band& b) {
    return b.rows == b.last - b.first + 1
               ? rowsText(b.first, b.last)
               : QStringLiteral("%1 rows between %2 and %3").arg(b.rows).arg(b.first).arg(b.last);
}

std::vector<Finding> scanWith(RowDecoder& decoder, const GreyPicture& g, const CheckInput& in,
                              const QString& data) {
    // White paper around the picture, the quiet zones being judged on their own: 16 modules
    // and at least 40 pixels, but no wider than the picture (the layout's module width may
    // be anything).
    const int pad = std::max(40, std::clamp(in.geometry.modulePx, 0, g.width / 16 + 1) * 16);
    const int width = g.width + 2 * pad;
    std::vector<std::uint8_t> row(std::size_t(width), 255);
    QHash<QByteArray, RowVerdict> seen;  // rows drawn alike read alike

    std::vector<Finding> out;
    Band main, addOn, other;
    QString otherText;
    // "zbar: rows 25-38 read add-on 51, expected 12": readsOtherData() knows this shape.
    const auto closeOther = [&] {
        if (other.first < 0) return;
        out.push_back(finding(
            Grade::Fail, "decode",
            QStringLiteral("%1: %2 %3 %4")
                .arg(decoder.name(), rowsText(other.first, other.last),
                     other.first == other.last ? QStringLiteral("reads") : QStringLiteral("read"),
                     otherText)));
        other = {};
    };
    for (int y = 0; y < g.height; ++y) {
        if (firstDark(g, y, 0, g.width) < 0) {
            closeOther();
            continue;
        }
        const QByteArray key(reinterpret_cast<const char*>(g.row(y)), g.width);
        auto it = seen.constFind(key);
        if (it == seen.constEnd()) {
            std::copy_n(g.row(y), g.width, row.begin() + pad);
            it = seen.insert(key, judge(decoder.read(row.data(), width), data, in.geometry.addOn));
        }
        if (it->main) main.add(y);
        if (it->addOn) addOn.add(y);
        if (it->other != otherText) closeOther();
        if (!it->other.isEmpty()) {
            otherText = it->other;
            other.add(y);
        }
    }
    closeOther();

    if (main.first < 0)
        out.push_back(finding(Grade::Fail, "decode",
                              QStringLiteral("%1 does not read %2 in any row")
                                  .arg(decoder.name(), in.geometry.data)));
    else
        out.push_back(finding(Grade::Ok, "decode",
                              QStringLiteral("%1 reads %2 in %3")
                                  .arg(decoder.name(), in.geometry.data, whereRead(main))));
    if (!in.geometry.addOn.isEmpty()) {
        if (addOn.first < 0)
            out.push_back(finding(Grade::Fail, "decode",
                                  QStringLiteral("%1 does not read the add-on %2 in any row")
                                      .arg(decoder.name(), in.geometry.addOn)));
        else
            out.push_back(finding(Grade::Ok, "decode",
                                  QStringLiteral("%1 reads the add-on %2 in %3")
                                      .arg(decoder.name(), in.geometry.addOn, whereRead(addOn))));
    }
    return out;
}

}  // namespace

bool readsOtherData(const Finding& f) {
    static const QRegularExpression shape(QStringLiteral("^[^:]+: rows? \\d+(-\\d+)? reads? "));
    return f.grade == Grade::Fail && f.topic == QLatin1String("decode") &&
           shape.match(f.text).hasMatch();
}

std::vector<Finding> decodeFindings(const GreyPicture& g, const CheckInput& in) {
    const bool code39 = in.symbology == Symbology::C39;
    const QString data = in.symbology == Symbology::UpcA
                             ? normalised(QStringLiteral("UPC-A"), in.geometry.data)
                             : in.geometry.data;
    std::vector<Finding> out;
    const std::unique_ptr<RowDecoder> decoders[] = {makeZbarDecoder(code39),
                                                    makeZxingDecoder(code39)};
    for (const auto& decoder : decoders) {
        std::vector<Finding> f = scanWith(*decoder, g, in, data);
        out.insert(out.end(), f.begin(), f.end());
    }
    return out;
}

}  // namespace check
