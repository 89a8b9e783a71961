#pragma once
#include <QDialog>
#include <QPointer>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class ScriptTextBox;

// The Find window of a script box: finds text forwards and backwards from
// the caret, wrapping around the script's ends, and replaces one match or
// all of them. It stays open beside the script (not modal); one window
// serves its box for the whole run and is only hidden when closed.
//
// The search runs inside the box's document on its UTF-8 bytes, so even a
// script of many megabytes is never copied to be searched.
class Find : public QDialog {
    Q_OBJECT
public:
    // Gives the box its search keys, which act only while it has the focus:
    // Ctrl+F opens the Find window, Ctrl+H opens it in "Replace with", F3 and
    // Shift+F3 find the next and previous match (or open the window while
    // there is nothing to find). The window is made on first use, as a
    // window of the box's own window.
    static void attachTo(ScriptTextBox* box);

    explicit Find(ScriptTextBox* box, QWidget* parent = nullptr);

    QLineEdit* FindWhat = nullptr;
    QLineEdit* ReplaceWith = nullptr;
    QCheckBox* MatchCase = nullptr;
    QPushButton* FindNext = nullptr;
    QPushButton* FindPrevious = nullptr;
    QPushButton* Replace = nullptr;
    QPushButton* ReplaceAll = nullptr;
    QPushButton* Close = nullptr;
    QLabel* Status = nullptr;  // what the last command found or did

    enum class Field { FindWhat, ReplaceWith };
    // Shows the window (or brings it to the front) with the focus in the
    // field. When the box has a selection within one line, "Find what"
    // starts with it.
    void showFor(Field field);

    // The commands of the buttons; each says in Status what it did. The
    // searches select the match in the box; false when there is none.
    bool findNext();
    bool findPrevious();
    void replace();
    // Replaces every match in the script as one undo step; returns how many.
    qsizetype replaceAll();

protected:
    void done(int result) override;

private:
    struct Match {
        qsizetype start;
        qsizetype end;
    };
    void layOut(QLabel* findLabel, QLabel* replaceLabel);
    bool search(bool forward);
    // The first match in [from, to) (or the last one when to < from).
    bool searchRange(qsizetype from, qsizetype to, Match* match) const;
    bool selectionIsMatch() const;
    void prepareSearch() const;
    // Shows the window in front with the focus in the field.
    void present(QLineEdit* field);
    void say(const QString& text);
    void updateButtons();
    void placeBesideOwner();

    QPointer<ScriptTextBox> m_box;
    bool m_placed = false;
};
