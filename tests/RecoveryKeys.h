#pragma once
#include <QApplication>
#include <QKeyEvent>
#include <QRandomGenerator>
#include <QString>
#include <QWidget>

// Keys that the recovery tests type into the script box through its real key
// path, the same sequence for the same seed: letters, digits, blanks, a
// non-ASCII letter, Enter and Backspace.
namespace RecoveryKeys {

struct Key {
    int code;
    QString text;
};

inline Key next(QRandomGenerator& random)
{
    const quint32 r = random.bounded(100u);
    if (r < 8)
        return {Qt::Key_Return, QStringLiteral("\r")};
    if (r < 13)
        return {Qt::Key_Backspace, QString()};
    if (r < 16)
        return {Qt::Key_Eacute, QStringLiteral("\u00e9")};
    static const QString plain = QStringLiteral("abcdefghijklmnopqrstuvwxyz 0123456789=_");
    const QChar c = plain.at(qsizetype(random.bounded(quint32(plain.size()))));
    return {c.isLetter() ? Qt::Key_A + (c.unicode() - u'a') : int(c.unicode()), QString(c)};
}

inline void type(QWidget* box, const Key& key)
{
    QKeyEvent press(QEvent::KeyPress, key.code, Qt::NoModifier, key.text);
    QKeyEvent release(QEvent::KeyRelease, key.code, Qt::NoModifier, key.text);
    QApplication::sendEvent(box, &press);
    QApplication::sendEvent(box, &release);
}

// A text typed as it reads; a line break is the Enter key.
inline void typeText(QWidget* box, const QString& text)
{
    for (QChar c : text)
        type(box, c == u'\n' ? Key{Qt::Key_Return, QStringLiteral("\r")}
                             : Key{c.isLetter() && c.unicode() < 0x80 ? Qt::Key_A + (c.toLower().unicode() - u'a')
                                                                      : int(c.unicode()),
                                   QString(c)});
}

}  // namespace RecoveryKeys
