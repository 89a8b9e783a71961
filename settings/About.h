#pragma once
#include <QDialog>
#include <QList>

class FlatButton;
class LinkLabel;
class QLabel;
class QPushButton;

// The About box: the program's name and state, the Kestrand II version the
// editor is made for, a disclaimer, credits and five links. The link under
// the mouse turns white; the background and "Co-Programmer:" turn them all
// blue again, other labels leave the colours alone. The links are also
// reached with Tab (white while focused) and opened with Enter or Space.
class About : public QDialog {
    Q_OBJECT
public:
    explicit About(QWidget* parent = nullptr);
    // Shows the window modally over the main window; returns when it closes.
    static void ShowModal(QWidget* owner);

    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label28 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label13 = nullptr;
    QLabel* Label18 = nullptr;
    QLabel* Label17 = nullptr;
    QLabel* Label19 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label27 = nullptr;
    QLabel* Label25 = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* Label26 = nullptr;
    QLabel* Label12 = nullptr;
    QLabel* Label29 = nullptr;
    QLabel* Label20 = nullptr;
    QLabel* Label21 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label22 = nullptr;
    QLabel* Label23 = nullptr;
    QLabel* Label24 = nullptr;
    QLabel* Label14 = nullptr;
    QLabel* Label15 = nullptr;
    QLabel* Label16 = nullptr;
    FlatButton* FlatBttn1 = nullptr;
    QPushButton* Command1 = nullptr;

    // The five link labels, in the order mail, Kestrand II, home page,
    // partner group, home page again.
    QList<QLabel*> links() const;
    // Where each link leads; fixed texts, not read back from the labels.
    static QString targetOf(const QString& linkName);

    void Label9_Click();
    void Label11_Click();
    void Label12_Click();
    void Label15_Click();
    void Label27_Click();
    void Label9_MouseMove() { highlight(Label9); }
    void Label11_MouseMove() { highlight(Label11); }
    void Label12_MouseMove() { highlight(Label12); }
    void Label15_MouseMove() { highlight(Label15); }
    void Label27_MouseMove() { highlight(Label27); }
    void Form_MouseMove() { unhighlight(); }
    void Label17_MouseMove() { unhighlight(); }
    void FlatBttn1_Click();
    void Command1_Click() { FlatBttn1_Click(); }

protected:
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QLabel* label(const QString& name, const QString& text, int left, int top, int width, int height);
    LinkLabel* link(const QString& name, const QString& address, int left, int top);
    void placeVisitSentence();
    void highlight(QLabel* link);
    void unhighlight();
    void openLink(const QString& linkName);
    // A link label's handlers of a click and of a mouse move over it.
    struct LinkHandlers {
        QLabel* label;
        void (About::*click)();
        void (About::*mouseMove)();
    };
    // Runs one of the handlers of a link label.
    void runHandler(QLabel* link, void (About::*LinkHandlers::*which)());
    QLabel* linkAt(const QPoint& pos) const;
    QLabel* m_pressed = nullptr;
};
