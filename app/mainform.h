#pragma once
// The main window: menus, status bar and the panel that hosts one designer form. It owns
// what every designer form and dialog reads: the five page values, the shared font and
// the shared colour.

#include <QColor>
#include <QMainWindow>
#include <QPointer>

#include "surface/font.h"
#include "symbols/pagevalues.h"

class QAction;
class QFrame;
class QLabel;

class Tmainfm : public QMainWindow {
    Q_OBJECT
  public:
    explicit Tmainfm(QWidget* parent = nullptr);
    ~Tmainfm() override;

    // Page values in mils, read from the settings file at start, replaced by the
    // page-setting dialog's Save.
    double ftop = 0;
    double fdown = 0;
    double fleft = 0;
    double fright = 0;
    double fiwidth = 0;
    symbols::PageValues pageValues() const;
    void setPageValues(const symbols::PageValues& v);

    // The shared font (FontDialog1's) and colour (ColorDialog1's).
    const surface::Font& sharedFont() const { return font_; }
    void setSharedFont(const surface::Font& f) { font_ = f; }
    QColor sharedColor() const { return colour_; }
    void setSharedColor(const QColor& c) { colour_ = c; }
    // Run the shared dialogs; true when the user chose something.
    bool runFontDialog(QWidget* owner = nullptr);
    bool runColorDialog(QWidget* owner = nullptr);

    // Reads the stored symbology and hosts its designer form; returns it (or none).
    QWidget* BarFormCreat();
    // Stores the name and replaces the hosted designer form.
    void changeform(const QString& name);
    QWidget* currentForm() const { return form_; }

    QFrame* Panel4 = nullptr;  // host of the designer form
    QLabel* statusPanel(int index) const { return status_[index]; }
    // The symbol check's summary of the last build in the first status panel, with the
    // findings as its tooltip; empty texts clear it.
    void showCheckSummary(const QString& summary, const QString& findings);
    QAction* menuItem(const QString& objectName) const;
    // The HTML manual as installed with the program (empty when there is none).
    static QString installedManual();

  public slots:
    void Save1Click();
    void PageSetting1Click();
    void Fontsetting1Click();
    void Colorsetting1Click();
    void About1Click();
    void Help2Click();
    void Exit2Click();

  protected:
    void paintEvent(QPaintEvent* e) override;

  private:
    void FormCreate();
    // Hosts the designer form of a stored name (none for an unknown name).
    QWidget* hostForm(const QString& name);
    void buildMenus();
    void buildPanels();

    surface::Font font_;
    QColor colour_ = Qt::black;
    QPointer<QWidget> form_;
    QAction* checked_ = nullptr;
    QLabel* status_[3] = {};
    QLabel* hint_ = nullptr;  // in the empty host panel
};

// The one main window of the process.
extern Tmainfm* mainfm;
