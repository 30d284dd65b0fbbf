#include "dialogs/aboutfm.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringDecoder>

#include "app/icons.h"
#include "app/placement.h"

namespace {
// One line a paragraph: the box wraps them at its width, at word boundaries.
const char* const kBuiltInText =
    "1. Product\n"
    "Name: Marlisk Barcode Generator\n"
    "Version: 1.0\n"
    "Released: December 2026\n"
    "Runs on: Linux desktops with Qt 6 (Debian 12 and later)\n"
    "Symbologies: Code 39, EAN-13, EAN-8, UPC-A and UPC-E, with add-ons of 2 or 5 digits\n"
    "\n"
    "2. Maker\n"
    "Marlisk Barcode Generator is written and maintained by the Marlisk developers. It draws "
    "each symbol at the screen's resolution and prints it at the size it was designed at.\n";
}  // namespace

Taboutform::Taboutform(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("aboutform"));
    setWindowTitle(QStringLiteral("About"));
    // A single-line border and no border icons: OK is the way out.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFont(place::sansSerif(11));
    setFixedSize(411, 365);
    move(300, 174);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(16, 16, 41, 41);
    Image1->setScaledContents(true);
    Image1->setPixmap(icons::appIcon().pixmap(64, 64));
    Label1 = place::label(this, QStringLiteral("Label1"), 72, 32, 209, 17,
                          QStringLiteral("Marlisk Barcode Generator "), place::sansSerif(13));
    Memo1 = new QPlainTextEdit(QString::fromLatin1(kBuiltInText), this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setWordWrapMode(QTextOption::WordWrap);  // never inside a word
    Memo1->setFocusPolicy(Qt::NoFocus);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setGeometry(16, 64, 378, 292);
    Button1 = place::button(this, QStringLiteral("Button1"), 296, 31, 96, 25, QStringLiteral("OK"));
    connect(Button1, &QPushButton::clicked, this, &Taboutform::Button1Click);
    FormCreate();
}

QStringList Taboutform::readAboutLines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = f.read(kMaxAboutSize);
    const bool more = !f.atEnd();
    // UTF-8 where the file is UTF-8; otherwise each byte as Latin-1, so no line is lost.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) text = QString::fromLatin1(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.pop_back();
    if (more) lines << QStringLiteral("(About.txt is longer than 1 MB; the rest is not shown.)");
    return lines;
}

void Taboutform::FormCreate() {
    aboutLines_ = readAboutLines(
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("About.txt")));
}

void Taboutform::paintEvent(QPaintEvent* e) {
    QDialog::paintEvent(e);
    FormPaint();
}

void Taboutform::FormPaint() {
    // Filled once: refilling at every paint would move the user's scroll position.
    if (filled_ || aboutLines_.join(QString()).isEmpty()) return;
    Memo1->setPlainText(aboutLines_.join(QLatin1Char('\n')));
    filled_ = true;
}

void Taboutform::Button1Click() {
    accept();
}
