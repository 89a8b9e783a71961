#pragma once
#include <QLatin1StringView>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QWidget>

#include "language/HeaderRules.h"

class QLabel;
class QListWidget;
class QPushButton;
class ScriptTextBox;

// A window of its own that checks the header rules of a text pasted into it:
// split the text into the list, check the list, read the findings below.
// Both the list and the error box only grow while the window is open.
class OpcodeChecker : public QWidget {
    Q_OBJECT
public:
    explicit OpcodeChecker(QWidget* parent = nullptr);

    ScriptTextBox* Text1 = nullptr;
    QListWidget* List1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Check1 = nullptr;
    QLabel* Label1 = nullptr;
    ScriptTextBox* Error = nullptr;

    void Form_Load();
    void Command1_Click();
    void Check1_Click();
    void SplitTextProc();
    void CheckLineProc(const QString& lineText, qsizetype lineIndex);

    // The sample put into Text1 when the window loads.
    static QStringList sampleLines();

private:
    bool m_identifierSeen = false;
};
