#pragma once
// "About": the program's icon, name and a text that About.txt beside the executable may
// replace.

#include <QDialog>
#include <QStringList>

class QLabel;
class QPlainTextEdit;
class QPushButton;

class Taboutform : public QDialog {
    Q_OBJECT
  public:
    explicit Taboutform(QWidget* parent = nullptr);

    QLabel* Image1;
    QLabel* Label1;
    QPlainTextEdit* Memo1;
    QPushButton* Button1;

    // Lines of About.txt (empty when there is none). Files over this size show their
    // beginning only.
    static constexpr qint64 kMaxAboutSize = 1024 * 1024;
    static QStringList readAboutLines(const QString& path);

  public slots:
    void Button1Click();

  protected:
    void paintEvent(QPaintEvent* e) override;

  private:
    void FormCreate();
    void FormPaint();

    QStringList aboutLines_;
    bool filled_ = false;
};
